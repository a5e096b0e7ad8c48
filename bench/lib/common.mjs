// What the Node benchmarks share: figures and the process tree read from /proc.
import fs from 'node:fs';
import { performance } from 'node:perf_hooks';

export const now = () => performance.now();

export const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  const m = s.length >> 1;
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};

export const mb = (kb) => `${(kb / 1024).toFixed(0)} MB`;

// Every process's children, by parent pid.
export function children() {
  const byParent = new Map();
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      const ppid = Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      if (!byParent.has(ppid)) byParent.set(ppid, []);
      byParent.get(ppid).push(Number(name));
    } catch { /* gone */ }
  }
  return byParent;
}

// Chromium's own share of any capture stitched from screens: the page loaded at the viewport,
// then a PNG screenshot of every screen our program takes (the same step, the same switches that
// change what a screenshot costs), with nothing decoded, checked, pasted or written. No capture
// made of Chromium's screens can take less; the benchmarks set it beside their goals.
export const shellProgram = '/usr/lib/chromium/chromium-headless-shell';
export const shellArgs = ['--no-sandbox', '--disable-frame-rate-limit', '--force-color-profile=srgb'];

// Screens are this much closer together than the view's height less the scroll bar.
const screenOverlap = 24;

export async function screensAlone(browser, url, viewport) {
  const context = await browser.newContext({ viewport });
  const page = await context.newPage();
  await page.goto(url, { waitUntil: 'load' });
  const session = await context.newCDPSession(page);
  const [pageHeight, clientHeight, scrollBar] = await page.evaluate(() => {
    const e = document.scrollingElement || document.documentElement;
    return [e.scrollHeight, e.clientHeight, innerWidth - e.clientWidth];
  });
  const step = viewport.height - scrollBar - screenOverlap;
  let screens = 0;
  for (let y = 0; ; y += step) {
    await session.send('Runtime.evaluate', { expression: `scrollTo(0, ${y})` });
    await session.send('Page.captureScreenshot', { format: 'png', optimizeForSpeed: true });
    screens += 1;
    if (y + clientHeight >= pageHeight) break;
  }
  await context.close();
  return screens;
}
