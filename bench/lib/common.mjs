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
