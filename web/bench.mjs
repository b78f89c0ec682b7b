// The page's speed beside cat of the same files, in one run: the 64-disk
// image (81 MB) to a complete result, and 190 real-size images dropped at
// once to a complete summary. Shown, never judged by a test.
//
//   npm run bench --prefix web     (needs the page, the native build and chromium)
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const scratch = mkdtempSync(join(tmpdir(), 'd88bench-'));
const make = (kind, name = kind) => {
  const path = join(scratch, `${name}.d88`);
  execFileSync(join(root, 'build/default/tests/builder/d88make'), [kind, path]);
  return path;
};
const large = make('large');
const kinds = [make('demo'), make('padded'), make('incomplete')];
const many = [];
for (let i = 0; i < 190; ++i) {
  const path = join(scratch, `image-${i}.d88`);
  copyFileSync(kinds[i % kinds.length], path);
  many.push(path);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const catTime = (files) => {
  const start = process.hrtime.bigint();
  spawnSync('cat', files, { stdio: ['ignore', 'ignore', 'ignore'] });
  return Number(process.hrtime.bigint() - start) / 1e6;
};

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
});
async function pageTime(files) {
  const page = await browser.newPage();
  await page.goto(pathToFileURL(join(root, 'build/web/d88cut.html')).href);
  const input = await page.$('#image');
  const start = process.hrtime.bigint();
  await input.uploadFile(...files);
  await page.waitForSelector('#report[data-state="done"]', { timeout: 600000 });
  const ms = Number(process.hrtime.bigint() - start) / 1e6;
  await page.close();
  return ms;
}

try {
  const rounds = 5;
  const results = { large: [], catLarge: [], many: [], catMany: [] };
  for (let i = 0; i < rounds + 1; ++i) {
    const round = { large: await pageTime([large]), catLarge: catTime([large]), many: await pageTime(many), catMany: catTime(many) };
    if (i > 0) for (const key of Object.keys(results)) results[key].push(round[key]);  // the first is warm-up
  }
  const m = Object.fromEntries(Object.entries(results).map(([k, v]) => [k, median(v)]));
  console.log(`page benchmark: median of ${rounds} rounds, after one warm-up`);
  console.log(`  64-disk image (81 MB) to a complete result   ${m.large.toFixed(0).padStart(7)} ms   ${(m.large / m.catLarge).toFixed(1)}x cat (${m.catLarge.toFixed(1)} ms); target <= 15x`);
  console.log(`  190 images to a complete summary            ${m.many.toFixed(0).padStart(7)} ms   ${(m.many / m.catMany).toFixed(1)}x cat (${m.catMany.toFixed(1)} ms); target <= 30x`);
} finally {
  await browser.close();
  rmSync(scratch, { recursive: true, force: true });
}
