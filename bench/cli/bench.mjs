// vistrel-pro's unattended capture of a page, on its default engine (headless Chromium over the
// DevTools pipe) and on the embedded one (/e:qt), against Playwright-driven Chromium's full-page
// screenshot of the same page at the same viewport, alternated in one run. Prints every run, the
// medians, the ratios, the peak memory of the process trees and where our time goes.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { children, mb, median, now, screensAlone, shellArgs, shellProgram } from '../lib/common.mjs';
import { parseArgs } from 'node:util';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const { values: opt } = parseArgs({
  options: {
    program: { type: 'string' },
    page: { type: 'string' },
    chromium: { type: 'string', default: '/usr/bin/chromium' },
    runs: { type: 'string', default: '7' },
    'memory-runs': { type: 'string', default: '3' },
    'profile-runs': { type: 'string', default: '3' },
    'strips-runs': { type: 'string', default: '5' },
    keep: { type: 'string' },
  },
});
const runs = Math.max(5, Number(opt.runs));
const memoryRuns = Math.max(1, Number(opt['memory-runs']));
const profileRuns = Math.max(0, Number(opt['profile-runs']));
const stripsRuns = Math.max(0, Number(opt['strips-runs']));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'bench-cli-'));
// Run as root, our Chromium reads pages as an unprivileged user: the page goes where it can.
fs.chmodSync(scratch, 0o755);
const pageCopy = path.join(scratch, 'page');
fs.cpSync(path.dirname(path.resolve(opt.page)), pageCopy, { recursive: true });
for (const f of fs.readdirSync(pageCopy, { recursive: true })) fs.chmodSync(path.join(pageCopy, f), fs.statSync(path.join(pageCopy, f)).isDirectory() ? 0o755 : 0o644);
const pagePath = path.join(pageCopy, path.basename(opt.page));
const pageUrl = pathToFileURL(pagePath).href;
// As root, Qt WebEngine runs pages only when told it may do so without a sandbox.
const engines = { chromium: [], qt: ['/e:qt', ...(process.getuid() === 0 ? ['--no-sandbox'] : [])] };
const width = 1024;
const height = 768;
const chromiumArgs = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

const ms = (x) => `${Math.round(x)} ms`;

// ---- process trees and their memory, from /proc

function descendants(root, withRoot) {
  const byParent = children();
  const found = withRoot ? [root] : [];
  const todo = [root];
  while (todo.length) {
    for (const child of byParent.get(todo.pop()) ?? []) {
      found.push(child);
      todo.push(child);
    }
  }
  return found;
}

// Resident set (every page a process maps, shared ones counted in each) and proportional set
// (shared pages divided among the processes that share them), in kB, summed over the tree.
function treeMemory(pids) {
  let rss = 0;
  let pss = 0;
  for (const pid of pids) {
    try {
      const text = fs.readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8');
      rss += Number(/^Rss:\s+(\d+)/m.exec(text)?.[1] ?? 0);
      pss += Number(/^Pss:\s+(\d+)/m.exec(text)?.[1] ?? 0);
    } catch { /* gone */ }
  }
  return { rss, pss };
}

function sampleMemory(listPids) {
  const peak = { rss: 0, pss: 0, processes: 0, series: [] };
  const timer = setInterval(() => {
    const pids = listPids();
    const m = treeMemory(pids);
    peak.series.push(m.pss);
    peak.rss = Math.max(peak.rss, m.rss);
    peak.pss = Math.max(peak.pss, m.pss);
    peak.processes = Math.max(peak.processes, pids.length);
  }, 20);
  return { peak, stop: () => clearInterval(timer) };
}

// The engine's share: what the tree held when the picture began to be made. The picture is
// made whole, after the load: the tree then rises by its bytes faster than at any other time,
// within a sample or two when the kernel gives it huge pages, over a few hundred milliseconds
// when it does not. The start of the steepest 240 ms is taken.
function beforePicture(series) {
  const window = 12;
  let start = 0;
  let steepest = -Infinity;
  for (let i = 0; i + window < series.length; i++) {
    const rise = series[i + window] - series[i];
    if (rise > steepest) {
      steepest = rise;
      start = i;
    }
  }
  return series[start] ?? 0;
}

// A row of the picture is 3 bytes a pixel, padded to 4 bytes.
function pictureBytes(size) {
  return Math.ceil((size.width * 3) / 4) * 4 * size.height;
}

// ---- PNG header

function pngSize(file) {
  const b = fs.readFileSync(file);
  if (b.toString('latin1', 1, 4) !== 'PNG') throw new Error(`${file} is no PNG`);
  return { width: b.readUInt32BE(16), height: b.readUInt32BE(20), bytes: b.length };
}

// ---- ours

// A fresh settings folder and temporary folder every run, as a first start has them.
function oursRun(url, tag, { engine = 'chromium', memory = false, trace = null } = {}) {
  const home = fs.mkdtempSync(path.join(scratch, `ours-${tag}-`));
  const tmp = path.join(home, 'tmp');
  const out = path.join(home, 'out');
  for (const d of [tmp, out, path.join(home, 'config'), path.join(home, 'data')]) fs.mkdirSync(d);
  const target = path.join(out, 'page.png');
  const env = { ...process.env, XDG_CONFIG_HOME: path.join(home, 'config'),
    XDG_DATA_HOME: path.join(home, 'data'), TMPDIR: tmp, QT_QPA_PLATFORM: 'offscreen' };
  const traceLog = path.join(home, 'strace.log');
  let pngAt = null;
  // The PNG gets its name only when it is complete (linked or renamed into place).
  const watcher = fs.watch(out, (event, name) => {
    if (name === 'page.png' && pngAt === null && fs.existsSync(target)) pngAt = now();
  });
  return new Promise((resolve, reject) => {
    const t0 = now();
    const args = [`/u:${url}`, `/p:${target}`, '/r:2', ...engines[engine], '--verbose'];
    const [file, argv] = trace
      ? [trace, ['-f', '--seccomp-bpf', '-ttt', '-o', traceLog,
        '-e', 'trace=execve,openat,linkat,exit_group', opt.program, ...args]]
      : [opt.program, args];
    const child = spawn(file, argv, { cwd: home, env, stdio: ['ignore', 'ignore', 'pipe'], detached: true });
    let stderr = '';
    child.stderr.on('data', (d) => { stderr += d; });
    const sampler = memory ? sampleMemory(() => descendants(child.pid, true)) : null;
    child.on('error', reject);
    child.on('exit', (code) => {
      const t1 = now();
      sampler?.stop();
      watcher.close();
      if (code !== 0 || !fs.existsSync(target)) {
        reject(new Error(`vistrel-pro ended with ${code}:\n${stderr}`));
        return;
      }
      const size = pngSize(target);
      if (opt.keep) fs.copyFileSync(target, path.join(opt.keep, 'ours.png'));
      const marks = { ...(trace ? traceMarks(traceLog, home) : {}), ...timings(stderr) };
      fs.rmSync(home, { recursive: true, force: true });
      resolve({ total: (pngAt ?? t1) - t0, ended: t1 - t0, size, peak: sampler?.peak, marks });
    });
  });
}

// ---- headless Chromium

async function chromiumRun(url, tag, { memory = false } = {}) {
  const userData = fs.mkdtempSync(path.join(scratch, `chromium-${tag}-`));
  const target = path.join(userData, 'page.png');
  // Every process that the driver starts is Chromium's; the driver itself is not counted.
  const sampler = memory ? sampleMemory(() => descendants(process.pid, false)) : null;
  const t0 = now();
  const context = await chromium.launchPersistentContext(userData, {
    executablePath: opt.chromium, headless: true, args: chromiumArgs,
    viewport: { width, height },
  });
  const t1 = now();
  const page = context.pages()[0] ?? (await context.newPage());
  await page.goto(url, { waitUntil: 'load' });
  const t2 = now();
  await page.screenshot({ path: target, fullPage: true });
  const t3 = now();
  await context.close();
  const t4 = now();
  sampler?.stop();
  const size = pngSize(target);
  if (opt.keep) fs.copyFileSync(target, path.join(opt.keep, 'chromium.png'));
  fs.rmSync(userData, { recursive: true, force: true });
  return { total: t3 - t0, closed: t4 - t0, size, peak: sampler?.peak,
    marks: { launched: t1 - t0, loaded: t2 - t0, shot: t3 - t0 } };
}

// Chromium's screens alone (bench/lib/common.mjs), from its launch: the least any capture
// stitched from its screens can take.
async function screensRun(url) {
  const t0 = now();
  const browser = await chromium.launch({ executablePath: shellProgram, headless: true, args: shellArgs });
  const screens = await screensAlone(browser, url, { width, height });
  const total = now() - t0;
  await browser.close();
  return { total, screens };
}

// ---- the run

async function main() {
  console.log(`page ${pagePath}, viewport ${width} x ${height}, ${runs} timed runs each`);
  console.log(`ours: ${opt.program}`);
  console.log(`chromium: ${opt.chromium} (${chromiumArgs.join(' ')})\n`);

  // Untimed: the files and libraries of all three come into the page cache.
  await oursRun(pageUrl, 'warm');
  await oursRun(pageUrl, 'warmqt', { engine: 'qt' });
  await chromiumRun(pageUrl, 'warm');
  await screensRun(pageUrl);

  const ours = [];
  const oursQt = [];
  const theirs = [];
  const alone = [];
  const orders = [['ours', 'qt', 'chromium', 'alone'], ['chromium', 'alone', 'ours', 'qt'],
    ['alone', 'ours', 'qt', 'chromium'], ['qt', 'chromium', 'alone', 'ours']];
  for (let i = 0; i < runs; i++) {
    for (const who of orders[i % orders.length]) {
      if (who === 'ours') ours.push(await oursRun(pageUrl, `t${i}`));
      else if (who === 'qt') oursQt.push(await oursRun(pageUrl, `q${i}`, { engine: 'qt' }));
      else if (who === 'alone') alone.push(await screensRun(pageUrl));
      else theirs.push(await chromiumRun(pageUrl, `t${i}`));
    }
    const o = ours.at(-1);
    const q = oursQt.at(-1);
    const c = theirs.at(-1);
    const a = alone.at(-1);
    console.log(`run ${i + 1}: ours ${ms(o.total)} (${o.size.width} x ${o.size.height}), ` +
      `ours /e:qt ${ms(q.total)}, chromium ${ms(c.total)} to the PNG ` +
      `(${c.size.width} x ${c.size.height}), Chromium's ${a.screens} screens alone ${ms(a.total)}`);
  }
  const oursMedian = median(ours.map((r) => r.total));
  const qtMedian = median(oursQt.map((r) => r.total));
  const theirMedian = median(theirs.map((r) => r.total));
  const perScreen = (list) => median(list.map((r) =>
    (r.marks.screensDone - r.marks.firstScreen) / Math.max(1, r.marks.screens - 1)));
  console.log(`\nmedian, process start to PNG written: ours ${ms(oursMedian)} ` +
    `(${ms(median(ours.map((r) => r.ended)))} to its end), ours /e:qt ${ms(qtMedian)}, ` +
    `chromium ${ms(theirMedian)} (${ms(median(theirs.map((r) => r.closed)))} with its close)`);
  console.log(`ratio ours (default engine) / chromium = ${(oursMedian / theirMedian).toFixed(2)} ` +
    '(goal at most 0.70)');
  console.log(`ratio ours /e:qt / chromium = ${(qtMedian / theirMedian).toFixed(2)} (goal at most 0.30)`);
  const aloneMedian = median(alone.map((r) => r.total));
  console.log(`Chromium's screens alone (headless shell, nothing decoded or written) ${ms(aloneMedian)}: ` +
    `${(aloneMedian / theirMedian).toFixed(2)} of chromium, ours ${(oursMedian / aloneMedian).toFixed(2)} x it`);
  console.log(`a screen, first to last: default engine ${ms(perScreen(ours))} (goal under 80 ms), ` +
    `/e:qt ${ms(perScreen(oursQt))}`);
  const mark = (list, key) => median(list.map((r) => r.marks[key]));
  for (const [name, list] of [['default engine', ours], ['/e:qt', oursQt]]) {
    console.log(`where the time goes, ${name} (the run's own timings, median): start, engine, ` +
      `load and first screen ${ms(mark(list, 'firstScreen'))}; ${mark(list, 'screens')} screens ` +
      `${ms(mark(list, 'screensDone') - mark(list, 'firstScreen'))}; last rows deflated and file ` +
      `written ${ms(mark(list, 'written') - mark(list, 'screensDone'))}; ending ` +
      `${ms(median(list.map((r) => r.ended)) - mark(list, 'written'))}`);
  }

  // Sampling /proc costs time: memory is measured in runs of its own.
  const memOurs = [];
  const memQt = [];
  const memTheirs = [];
  for (let i = 0; i < memoryRuns; i++) {
    for (const [engine, list] of [['chromium', memOurs], ['qt', memQt]]) {
      const run = await oursRun(pageUrl, `m${engine}${i}`, { engine, memory: true });
      const picture = pictureBytes(run.size) / 1024; // kB, as /proc counts
      list.push({ ...run.peak, picture, engine: beforePicture(run.peak.series) });
    }
    memTheirs.push((await chromiumRun(pageUrl, `m${i}`, { memory: true })).peak);
  }
  const peak = (list, key) => median(list.map((p) => p[key]));
  console.log(`\npeak memory of the process tree (median of ${memoryRuns}, sampled every 20 ms):`);
  console.log(`  ours:     PSS ${mb(peak(memOurs, 'pss'))}, RSS summed ${mb(peak(memOurs, 'rss'))}, ` +
    `${Math.max(...memOurs.map((p) => p.processes))} processes`);
  console.log(`  ours /e:qt: PSS ${mb(peak(memQt, 'pss'))}, RSS summed ${mb(peak(memQt, 'rss'))}, ` +
    `${Math.max(...memQt.map((p) => p.processes))} processes`);
  console.log(`  chromium: PSS ${mb(peak(memTheirs, 'pss'))}, RSS summed ${mb(peak(memTheirs, 'rss'))}, ` +
    `${Math.max(...memTheirs.map((p) => p.processes))} processes (the driver not counted)`);
  console.log(`  ratio ours / chromium: PSS ${(peak(memOurs, 'pss') / peak(memTheirs, 'pss')).toFixed(2)}, ` +
    `RSS ${(peak(memOurs, 'rss') / peak(memTheirs, 'rss')).toFixed(2)}`);
  const budget = 1.15 * (peak(memOurs, 'picture') + peak(memOurs, 'engine'));
  console.log(`  ours against the picture (${mb(peak(memOurs, 'picture'))}) + the engine before it ` +
    `(${mb(peak(memOurs, 'engine'))}) + 15 % = ${mb(budget)}: peak PSS ` +
    `${(peak(memOurs, 'pss') / budget).toFixed(2)} of it (goal at most 1.00)`);

  if (stripsRuns > 0) await strips();
  if (profileRuns > 0) await profile();
  fs.rmSync(scratch, { recursive: true, force: true });
}

// A page as wide and tall as asked whose every band of 10 rows has a colour of its own (the same
// page as bench_capture --coded writes).
function codedPage(w, h) {
  const rows = [];
  for (let band = 0; band * 10 < h; band++)
    rows.push(`<div style="height: ${Math.min(10, h - band * 10)}px; background: rgb(${band % 256}, ` +
      `${(Math.floor(band / 256) * 40) % 256}, ${(band * 7) % 256})"></div>`);
  const file = path.join(pageCopy, `coded-${w}x${h}.html`);
  fs.writeFileSync(file, `<!doctype html><body style="margin: 0"><div style="width: ${w}px">` +
    `${rows.join('')}</div></body>`);
  fs.chmodSync(file, 0o644);
  return pathToFileURL(file).href;
}

// A page a few pixels wider than the view needs a second column: what it costs against the
// page that fits, on the default engine (and Playwright's full-page screenshot of both).
async function strips() {
  const sizes = [[1009, 30000], [1015, 30000]];
  const pages = sizes.map(([w, h]) => codedPage(w, h));
  const ours = pages.map(() => []);
  const theirs = pages.map(() => []);
  for (let i = 0; i < stripsRuns; i++) {
    for (const k of i % 2 ? [1, 0] : [0, 1]) {
      ours[k].push(await oursRun(pages[k], `s${k}${i}`));
      theirs[k].push(await chromiumRun(pages[k], `s${k}${i}`));
    }
  }
  console.log(`
pages of 10-row bands (median of ${stripsRuns}, process start to PNG):`);
  sizes.forEach(([w, h], k) => {
    console.log(`  ${w} x ${h}: ours ${ms(median(ours[k].map((r) => r.total)))}, ` +
      `${median(ours[k].map((r) => r.marks.screens))} screens; chromium ` +
      `${ms(median(theirs[k].map((r) => r.total)))}`);
  });
  const ratio = median(ours[1].map((r) => r.total)) / median(ours[0].map((r) => r.total));
  console.log(`  ratio ours ${sizes[1][0]} px / ${sizes[0][0]} px = ${ratio.toFixed(2)} (goal at most 1.15)`);
}

// Where the time goes, seen from outside through the files the program opens (strace, on a few
// system calls only): the settings file (the run begins), the page and its pictures, and the PNG
// beside its target; and from inside through the run's own timings line (--verbose).
function straceLine(log, test) {
  for (const line of log) {
    const m = /^(\d+)\s+(\d+\.\d+) (.*)$/.exec(line);
    if (m && test(m[3], Number(m[1]))) return { pid: Number(m[1]), at: Number(m[2]) * 1000, text: m[3] };
  }
  return null;
}

function traceMarks(logFile, home) {
  const log = fs.readFileSync(logFile, 'utf8').split('\n');
  const folder = path.dirname(pagePath);
  const config = path.join(home, 'config');
  const out = path.join(home, 'out');
  const opens = log.filter((l) => / openat\(AT_FDCWD, "/.test(l) && !/ENOENT/.test(l));
  const at = (l) => Number(/^\d+\s+(\d+\.\d+)/.exec(l)[1]) * 1000;
  const pageFiles = opens.filter((l) => l.includes(`"${folder}/`));
  const start = straceLine(log, (t) => t.startsWith('execve('));
  const mark = (test) => straceLine(log, test)?.at;
  const exits = log.filter((l) => /exit_group\(/.test(l));
  return {
    runStart: mark((t) => t.startsWith(`openat(AT_FDCWD, "${config}/vistrel-pro/`)) - start.at,
    page: at(pageFiles[0]) - start.at,
    lastFile: at(pageFiles.at(-1)) - start.at,
    files: pageFiles.length,
    pngStart: mark((t) => t.startsWith(`openat(AT_FDCWD, "${out}", `) && t.includes('O_TMPFILE')) - start.at,
    pngDone: mark((t) => t.startsWith('linkat(') && t.includes(`"${out}/page.png"`)) - start.at,
    ended: at(exits.at(-1)) - start.at,
  };
}

// "timings: first screen at A ms, N screens done at B ms, files written at C ms", from the run's start.
function timings(stderr) {
  const m = /timings: first screen at (\d+) ms, (\d+) screens done at (\d+) ms, files written at (\d+) ms/.exec(stderr);
  return m ? { firstScreen: Number(m[1]), screens: Number(m[2]), screensDone: Number(m[3]), written: Number(m[4]) } : {};
}

async function profile() {
  const strace = ['/usr/bin/strace', '/bin/strace'].find((p) => fs.existsSync(p));
  if (!strace) {
    console.log('\nno strace: where the time goes is not measured');
    return;
  }
  const rows = [];
  const theirs = [];
  for (let i = 0; i < profileRuns; i++) {
    const r = await oursRun(pageUrl, `p${i}`, { engine: 'qt', trace: strace });
    rows.push({ ...r.marks, total: r.total, height: r.size.height });
    theirs.push((await chromiumRun(pageUrl, `p${i}`)).marks);
  }
  const m = (key) => median(rows.map((r) => r[key]));
  const mc = (key) => median(theirs.map((r) => r[key]));
  const line = (what, value, note = '') => console.log(`  ${what.padEnd(48)} ${ms(value).padStart(8)}${note}`);
  const firstScreen = m('runStart') + m('firstScreen');
  const screensDone = m('runStart') + m('screensDone');
  const written = m('runStart') + m('written');
  console.log(`\nwhere our time goes on /e:qt (median of ${profileRuns} runs under strace, which adds a little):`);
  line('start-up: process, Qt, settings read', m('runStart'));
  line('engine start, to the page file opened', m('page') - m('runStart'));
  line(`loading, to the last of its ${m('files')} files opened`, m('lastFile') - m('page'));
  line('layout and the first screen pasted', firstScreen - m('lastFile'));
  line(`screens (${m('screens')}), PNG deflated alongside`, screensDone - firstScreen,
    `  (${ms((screensDone - firstScreen) / Math.max(1, m('screens') - 1))} a screen)`);
  line('  of which PNG file open (picture made) to first screen', firstScreen - m('pngStart'));
  line('last rows deflated, file complete', written - screensDone);
  line('ending (processes gone)', m('ended') - written);
  line('total', m('ended'));
  console.log(`chromium (the driver's own marks, median of ${profileRuns}):`);
  line('launched', mc('launched'));
  line('page loaded', mc('loaded') - mc('launched'));
  line('full-page screenshot written', mc('shot') - mc('loaded'));
  line('total', mc('shot'));
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
