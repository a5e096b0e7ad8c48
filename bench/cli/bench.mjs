// vistrel-pro's unattended capture of a page against headless Chromium's full-page screenshot of
// the same page at the same viewport, alternated in one run. Prints every run, the medians, the
// ratio, the peak memory of both process trees and where our time goes.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
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
    keep: { type: 'string' },
  },
});
const runs = Math.max(5, Number(opt.runs));
const memoryRuns = Math.max(1, Number(opt['memory-runs']));
const profileRuns = Math.max(0, Number(opt['profile-runs']));
const pagePath = path.resolve(opt.page);
const pageUrl = pathToFileURL(pagePath).href;
const width = 1024;
const height = 768;
const chromiumArgs = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'bench-cli-'));

const now = () => performance.now();
const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  const m = s.length >> 1;
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};
const ms = (x) => `${Math.round(x)} ms`;
const mb = (kb) => `${(kb / 1024).toFixed(0)} MB`;

// ---- process trees and their memory, from /proc

function children() {
  const byParent = new Map();
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      const rest = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const ppid = Number(rest[1]);
      if (!byParent.has(ppid)) byParent.set(ppid, []);
      byParent.get(ppid).push(Number(name));
    } catch { /* gone */ }
  }
  return byParent;
}

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
  const peak = { rss: 0, pss: 0, processes: 0 };
  const timer = setInterval(() => {
    const pids = listPids();
    const m = treeMemory(pids);
    peak.rss = Math.max(peak.rss, m.rss);
    peak.pss = Math.max(peak.pss, m.pss);
    peak.processes = Math.max(peak.processes, pids.length);
  }, 20);
  return { peak, stop: () => clearInterval(timer) };
}

// ---- PNG header

function pngSize(file) {
  const b = fs.readFileSync(file);
  if (b.toString('latin1', 1, 4) !== 'PNG') throw new Error(`${file} is no PNG`);
  return { width: b.readUInt32BE(16), height: b.readUInt32BE(20), bytes: b.length };
}

// ---- ours

// A fresh settings folder and temporary folder every run, as a first start has them.
function oursRun(url, tag, { memory = false, phases = false } = {}) {
  const home = fs.mkdtempSync(path.join(scratch, `ours-${tag}-`));
  const tmp = path.join(home, 'tmp');
  const out = path.join(home, 'out');
  for (const d of [tmp, out, path.join(home, 'config'), path.join(home, 'data')]) fs.mkdirSync(d);
  const target = path.join(out, 'page.png');
  const env = { ...process.env, XDG_CONFIG_HOME: path.join(home, 'config'),
    XDG_DATA_HOME: path.join(home, 'data'), TMPDIR: tmp, QT_QPA_PLATFORM: 'offscreen' };
  const marks = {};
  const watchers = [];
  if (phases) {
    // The working picture is written to a temporary name and renamed to its braced GUID; the
    // PNG likewise beside its target.
    watchers.push(fs.watch(tmp, (event, name) => {
      if (!name || !name.startsWith('{')) return;
      marks.workStart ??= now();
      if (/^\{[0-9A-F-]{36}\}$/.test(name) && fs.existsSync(path.join(tmp, name))) marks.workDone ??= now();
    }));
    watchers.push(fs.watch(out, (event, name) => {
      if (!name) return;
      marks.pngStart ??= now();
      if (name === 'page.png' && fs.existsSync(target)) marks.pngDone ??= now();
    }));
  }
  return new Promise((resolve, reject) => {
    const t0 = now();
    const child = spawn(opt.program, [`/u:${url}`, `/p:${target}`, '/r:2'],
      { cwd: home, env, stdio: ['ignore', 'ignore', 'pipe'], detached: true });
    let stderr = '';
    child.stderr.on('data', (d) => { stderr += d; });
    const sampler = memory ? sampleMemory(() => descendants(child.pid, true)) : null;
    child.on('error', reject);
    child.on('exit', (code) => {
      const t1 = now();
      sampler?.stop();
      for (const w of watchers) w.close();
      if (code !== 0 || !fs.existsSync(target)) {
        reject(new Error(`vistrel-pro ended with ${code}:\n${stderr}`));
        return;
      }
      const size = pngSize(target);
      if (opt.keep) fs.copyFileSync(target, path.join(opt.keep, 'ours.png'));
      fs.rmSync(home, { recursive: true, force: true });
      const rel = {};
      for (const [k, v] of Object.entries(marks)) rel[k] = v - t0;
      resolve({ total: t1 - t0, size, peak: sampler?.peak, marks: rel });
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

// ---- the page over loopback HTTP, to see when the engine asks for it and its pictures

function serveFolder(folder) {
  const log = [];
  const types = { '.html': 'text/html; charset=utf-8', '.svg': 'image/svg+xml',
    '.jpg': 'image/jpeg', '.png': 'image/png' };
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(folder, path.normalize(name));
    log.push({ at: now(), name });
    if (!file.startsWith(folder) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(res).on('finish', () => { log.at(-1).done = now(); });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({ server, log,
    url: `http://127.0.0.1:${server.address().port}/${path.basename(pagePath)}` })));
}

// ---- the run

async function main() {
  console.log(`page ${pagePath}, viewport ${width} x ${height}, ${runs} timed runs each`);
  console.log(`ours: ${opt.program}`);
  console.log(`chromium: ${opt.chromium} (${chromiumArgs.join(' ')})\n`);

  // Untimed: the files and libraries of both come into the page cache.
  await oursRun(pageUrl, 'warm');
  await chromiumRun(pageUrl, 'warm');

  const ours = [];
  const theirs = [];
  for (let i = 0; i < runs; i++) {
    const order = i % 2 ? ['chromium', 'ours'] : ['ours', 'chromium'];
    for (const who of order) {
      if (who === 'ours') ours.push(await oursRun(pageUrl, `t${i}`));
      else theirs.push(await chromiumRun(pageUrl, `t${i}`));
    }
    const o = ours.at(-1);
    const c = theirs.at(-1);
    console.log(`run ${i + 1}: ours ${ms(o.total)} (${o.size.width} x ${o.size.height}, ` +
      `${o.size.bytes} bytes)   chromium ${ms(c.total)} to the PNG, ${ms(c.closed)} closed ` +
      `(${c.size.width} x ${c.size.height}, ${c.size.bytes} bytes)`);
  }
  const oursMedian = median(ours.map((r) => r.total));
  const theirMedian = median(theirs.map((r) => r.total));
  console.log(`\nmedian, process start to PNG written: ours ${ms(oursMedian)}, chromium ` +
    `${ms(theirMedian)} (${ms(median(theirs.map((r) => r.closed)))} with its close)`);
  console.log(`ratio ours / chromium = ${(oursMedian / theirMedian).toFixed(2)} (goal at most 0.50)`);

  // Sampling /proc costs time: memory is measured in runs of its own.
  const memOurs = [];
  const memTheirs = [];
  for (let i = 0; i < memoryRuns; i++) {
    memOurs.push((await oursRun(pageUrl, `m${i}`, { memory: true })).peak);
    memTheirs.push((await chromiumRun(pageUrl, `m${i}`, { memory: true })).peak);
  }
  const peak = (list, key) => median(list.map((p) => p[key]));
  console.log(`\npeak memory of the process tree (median of ${memoryRuns}, sampled every 20 ms):`);
  console.log(`  ours:     PSS ${mb(peak(memOurs, 'pss'))}, RSS summed ${mb(peak(memOurs, 'rss'))}, ` +
    `${Math.max(...memOurs.map((p) => p.processes))} processes`);
  console.log(`  chromium: PSS ${mb(peak(memTheirs, 'pss'))}, RSS summed ${mb(peak(memTheirs, 'rss'))}, ` +
    `${Math.max(...memTheirs.map((p) => p.processes))} processes (the driver not counted)`);
  console.log(`  ratio ours / chromium: PSS ${(peak(memOurs, 'pss') / peak(memTheirs, 'pss')).toFixed(2)}, ` +
    `RSS ${(peak(memOurs, 'rss') / peak(memTheirs, 'rss')).toFixed(2)}`);

  if (profileRuns > 0) await profile();
  fs.rmSync(scratch, { recursive: true, force: true });
}

// Where the time goes, seen from outside: the page served over loopback HTTP shows when the
// engine first asks for it and when its last picture has gone out; the temporary folder shows
// when the working picture is written; the target folder when the PNG is.
async function profile() {
  const { server, log, url } = await serveFolder(path.dirname(pagePath));
  const rows = [];
  for (let i = 0; i < profileRuns; i++) {
    log.length = 0;
    const t0 = now();
    const r = await oursRun(url, `p${i}`, { phases: true });
    const first = log[0]?.at - t0;
    const last = Math.max(...log.map((e) => (e.done ?? e.at) - t0));
    rows.push({ first, last, ...r.marks, total: r.total, requests: log.length });
    const c0 = now();
    log.length = 0;
    const c = await chromiumRun(url, `p${i}`);
    rows.at(-1).chromium = { first: log[0]?.at - c0, last: Math.max(...log.map((e) => (e.done ?? e.at) - c0)), ...c.marks };
  }
  server.close();
  const m = (key) => median(rows.map((r) => r[key]));
  const mc = (key) => median(rows.map((r) => r.chromium[key]));
  console.log(`\nwhere the time goes (page over loopback HTTP, median of ${profileRuns}):`);
  console.log(`  ours:     start-up to the first request  ${ms(m('first'))}`);
  console.log(`            loading (to the last file sent) ${ms(m('last') - m('first'))}   (${m('requests')} requests)`);
  console.log(`            rendering the screens          ${ms(m('workStart') - m('last'))}`);
  console.log(`            writing the working BMP        ${ms(m('workDone') - m('workStart'))}`);
  console.log(`            reading it back, PNG encoding  ${ms(m('pngDone') - m('workDone'))}  (PNG file begun after ${ms(m('pngStart') - m('workDone'))})`);
  console.log(`            ending the process             ${ms(m('total') - m('pngDone'))}`);
  console.log(`            total                          ${ms(m('total'))}`);
  console.log(`  chromium: launch                          ${ms(mc('launched'))}`);
  console.log(`            first request                   ${ms(mc('first'))}`);
  console.log(`            loaded                          ${ms(mc('loaded'))}`);
  console.log(`            screenshot written              ${ms(mc('shot'))} (${ms(mc('shot') - mc('loaded'))} for the screenshot)`);
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
