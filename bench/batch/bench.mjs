// A list of pages in the bundled example's style: one vistrel-pro batch run against a separate
// vistrel-pro run per page, and against Playwright driving one headless Chromium with the same
// number of pages at once; then a long batch run whose resident memory is followed from its
// 100th to its last capture.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { children, mb, median, now, screensAlone, shellArgs, shellProgram } from '../lib/common.mjs';
import { parseArgs } from 'node:util';
import { pathToFileURL } from 'node:url';
import { chromium } from '../cli/node_modules/playwright-core/index.mjs';

const { values: opt } = parseArgs({
  options: {
    program: { type: 'string' },
    example: { type: 'string' },
    chromium: { type: 'string', default: '/usr/bin/chromium' },
    pages: { type: 'string', default: '24' },
    jobs: { type: 'string', default: String(os.cpus().length) },
    rounds: { type: 'string', default: '3' },
    long: { type: 'string', default: '500' },
  },
});
const pageCount = Math.max(2, Number(opt.pages));
const jobs = Math.max(1, Number(opt.jobs));
const rounds = Math.max(0, Number(opt.rounds)); // 0: only the long run
const longRun = Math.max(0, Number(opt.long));
const width = 1024;
const height = 768;
const chromiumArgs = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'bench-batch-'));
// Run as root, our Chromium reads pages as an unprivileged user: the pages must be readable.
fs.chmodSync(scratch, 0o755);

const sec = (x) => `${(x / 1000).toFixed(2)} s`;

// ---- the pages: the bundled example's own style, text and pictures, its main column cut to
// heights from 2,000 to 6,000 px, so that a page is a few screens as most pages are.

function makePages() {
  const folder = path.join(scratch, 'pages');
  fs.cpSync(path.join(path.dirname(opt.example), 'images'), path.join(folder, 'images'), { recursive: true });
  const html = fs.readFileSync(opt.example, 'utf8');
  const urls = [];
  for (let i = 0; i < pageCount; i++) {
    const rows = 2000 + Math.round((4000 * i) / (pageCount - 1));
    const cut = `<style>main { height: ${rows}px; overflow: hidden; }</style>\n</head>`;
    const file = path.join(folder, `page-${i + 1}.html`);
    fs.writeFileSync(file, html.replace('</head>', cut));
    urls.push(pathToFileURL(file).href);
  }
  return urls;
}

// ---- process trees and their memory, from /proc

function tree(root) {
  const byParent = children();
  const found = [root];
  const todo = [root];
  while (todo.length) {
    for (const child of byParent.get(todo.pop()) ?? []) {
      found.push(child);
      todo.push(child);
    }
  }
  return found;
}

// kB: the program's own resident set, and the proportional set of its whole tree.
function memoryOf(pid) {
  const read = (p, key) => {
    try {
      const text = fs.readFileSync(`/proc/${p}/smaps_rollup`, 'utf8');
      return Number(new RegExp(`^${key}:\\s+(\\d+)`, 'm').exec(text)?.[1] ?? 0);
    } catch { return 0; }
  };
  return { rss: read(pid, 'Rss'), treePss: tree(pid).reduce((sum, p) => sum + read(p, 'Pss'), 0) };
}

// ---- ours

function freshHome(tag) {
  const home = fs.mkdtempSync(path.join(scratch, `ours-${tag}-`));
  for (const d of ['tmp', 'out', 'config', 'data']) fs.mkdirSync(path.join(home, d));
  const env = { ...process.env, XDG_CONFIG_HOME: path.join(home, 'config'),
    XDG_DATA_HOME: path.join(home, 'data'), TMPDIR: path.join(home, 'tmp'), QT_QPA_PLATFORM: 'offscreen' };
  return { home, env };
}

// Resolves with the run's time to its end, its stdout lines and what onLine returned.
function runProgram(args, home, env, onLine = null, statuses = [0]) {
  return new Promise((resolve, reject) => {
    const t0 = now();
    const child = spawn(opt.program, args, { cwd: home, env, stdio: ['ignore', 'pipe', 'pipe'] });
    let stdout = '';
    let stderr = '';
    let pending = '';
    child.stdout.on('data', (d) => {
      stdout += d;
      pending += d;
      let at;
      while ((at = pending.indexOf('\n')) >= 0) {
        const line = pending.slice(0, at);
        pending = pending.slice(at + 1);
        onLine?.(JSON.parse(line), child.pid);
      }
    });
    child.stderr.on('data', (d) => { stderr += d; });
    child.on('error', reject);
    child.on('exit', (code) => {
      if (!statuses.includes(code)) reject(new Error(`vistrel-pro ${args.join(' ')} ended with ${code}:\n${stderr}`));
      else resolve({ ms: now() - t0, lines: stdout.trim().split('\n').filter(Boolean).map((l) => JSON.parse(l)) });
    });
  });
}

async function separateRuns(urls, tag) {
  const { home, env } = freshHome(tag);
  const t0 = now();
  for (let i = 0; i < urls.length; i++) {
    await runProgram([`/u:${urls[i]}`, `/p:out/${i + 1}.png`, '/r:2'], home, env);
  }
  const ms = now() - t0;
  fs.rmSync(home, { recursive: true, force: true });
  return ms;
}

function batchFile(home, urls, count) {
  const lines = [];
  for (let i = 0; i < count; i++) lines.push(`/u:${urls[i % urls.length]} /p:out/${i + 1}.png /r:2`);
  const file = path.join(home, 'pages.txt');
  fs.writeFileSync(file, lines.join('\n') + '\n');
  return file;
}

async function batchRun(urls, tag) {
  const { home, env } = freshHome(tag);
  batchFile(home, urls, urls.length);
  const run = await runProgram(['--batch', 'pages.txt', '--jobs', String(jobs)], home, env);
  const failed = run.lines.filter((l) => l.status !== 'ok');
  if (run.lines.length !== urls.length || failed.length) throw new Error(`batch: ${JSON.stringify(failed)}`);
  const sizes = run.lines.map((l) => l.height);
  fs.rmSync(home, { recursive: true, force: true });
  return { ms: run.ms, sizes };
}

// ---- Playwright: one browser, `jobs` pages at once, each in a context of its own (its own
// cookies and storage, as each of our lines has).

async function playwrightRun(urls, tag) {
  const out = fs.mkdtempSync(path.join(scratch, `chromium-${tag}-`));
  const t0 = now();
  const browser = await chromium.launch({ executablePath: opt.chromium, headless: true, args: chromiumArgs });
  let next = 0;
  const worker = async () => {
    while (next < urls.length) {
      const i = next++;
      const context = await browser.newContext({ viewport: { width, height } });
      const page = await context.newPage();
      await page.goto(urls[i], { waitUntil: 'load' });
      await page.screenshot({ path: path.join(out, `${i + 1}.png`), fullPage: true });
      await context.close();
    }
  };
  await Promise.all(Array.from({ length: jobs }, worker));
  await browser.close();
  const ms = now() - t0;
  fs.rmSync(out, { recursive: true, force: true });
  return ms;
}

// Chromium's screens alone (bench/lib/common.mjs) for every page, `jobs` at once, each in a
// context of its own: the least a batch of captures stitched from its screens can take.
async function screensAloneRun(urls) {
  const t0 = now();
  const browser = await chromium.launch({ executablePath: shellProgram, headless: true, args: shellArgs });
  let next = 0;
  const worker = async () => {
    while (next < urls.length) await screensAlone(browser, urls[next++], { width, height });
  };
  await Promise.all(Array.from({ length: jobs }, worker));
  await browser.close();
  return now() - t0;
}

// ---- memory over a long run: sampled as each report line arrives

async function longBatch(urls) {
  const { home, env } = freshHome('long');
  batchFile(home, urls, longRun);
  const at = new Map();
  const marks = new Set([1, 50, 100, 200, 300, 400, longRun]);
  let done = 0;
  const failed = [];
  // A failed line ends the run with 9; the lines are still all there.
  const run = await runProgram(['--batch', 'pages.txt', '--jobs', String(jobs)], home, env, (line, pid) => {
    if (line.status !== 'ok') failed.push({ done: done + 1, line: line.line, message: line.message, ms: line.ms });
    done += 1;
    if (marks.has(done)) at.set(done, memoryOf(pid));
  }, [0, 9]);
  fs.rmSync(home, { recursive: true, force: true });
  return { ms: run.ms, at, failed };
}

function compare(batch, separate, theirs, alone) {
  const [b, s, p, a] = [median(batch), median(separate), median(theirs), median(alone)];
  console.log(`\nmedians: batch ${sec(b)} (${(pageCount * 60000 / b).toFixed(1)} pages a minute), ` +
    `separate runs ${sec(s)}, playwright ${sec(p)} (${(pageCount * 60000 / p).toFixed(1)} pages a minute)`);
  console.log(`batch / separate runs = ${(b / s).toFixed(2)} (goal at most 0.33)`);
  console.log(`throughput batch / playwright = ${(p / b).toFixed(2)} (goal at least 1.5)`);
  console.log(`Chromium's screens alone (headless shell, nothing decoded or written) ${sec(a)}: ` +
    `${(a / s).toFixed(2)} of the separate runs, the batch ${(b / a).toFixed(2)} x it`);
}

async function main() {
  const urls = makePages();
  console.log(`${pageCount} pages in the style of ${opt.example}, main column cut to 2,000 to 6,000 px; ` +
    `viewport ${width} x ${height}; ${jobs} pages at once; ${rounds} rounds`);
  console.log(`ours: ${opt.program}\nchromium: ${opt.chromium} (${chromiumArgs.join(' ')})\n`);

  // Untimed: the files and libraries of both come into the page cache.
  await batchRun(urls.slice(0, jobs + 1), 'warm');
  if (rounds > 0) await playwrightRun(urls.slice(0, jobs + 1), 'warm');

  const separate = [];
  const batch = [];
  const theirs = [];
  const alone = [];
  for (let r = 0; r < rounds; r++) {
    const b = await batchRun(urls, `b${r}`);
    batch.push(b.ms);
    separate.push(await separateRuns(urls, `s${r}`));
    theirs.push(await playwrightRun(urls, `p${r}`));
    alone.push(await screensAloneRun(urls));
    if (r === 0) console.log(`picture heights: ${Math.min(...b.sizes)} to ${Math.max(...b.sizes)} px`);
    console.log(`round ${r + 1}: batch ${sec(batch.at(-1))}, ${pageCount} separate runs ${sec(separate.at(-1))}, ` +
      `playwright ${sec(theirs.at(-1))}, Chromium's screens alone ${sec(alone.at(-1))}`);
  }
  if (rounds > 0) compare(batch, separate, theirs, alone);

  if (longRun >= 100) {
    const long = await longBatch(urls);
    console.log(`\n${longRun} captures in one batch run: ${sec(long.ms)} ` +
      `(${(longRun * 60000 / long.ms).toFixed(1)} pages a minute); memory as capture N was reported:`);
    for (const [n, m] of long.at) console.log(`  after ${n}: program RSS ${mb(m.rss)}, tree PSS ${mb(m.treePss)}`);
    console.log(`failed lines: ${long.failed.length}`);
    for (const f of long.failed) console.log(`  capture ${f.done} (line ${f.line}, ${f.ms} ms): ${f.message}`);
    const first = long.at.get(100);
    const last = long.at.get(longRun);
    console.log(`program RSS after ${longRun} / after 100 = ${(last.rss / first.rss).toFixed(3)}, ` +
      `tree PSS ${(last.treePss / first.treePss).toFixed(3)} (goal within 1.10)`);
  }
  fs.rmSync(scratch, { recursive: true, force: true });
}

main().catch((e) => {
  console.error(e);
  fs.rmSync(scratch, { recursive: true, force: true });
  process.exit(1);
});
