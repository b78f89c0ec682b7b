// Renders the page with the demo image into docs/screenshot.png, for the
// README. Needs the page (cmake --workflow --preset web), the native build
// (for d88make) and Debian's chromium.
//
//   npm run screenshot --prefix web
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const scratch = mkdtempSync(join(tmpdir(), 'd88shot-'));
const image = join(scratch, 'demo.d88');
execFileSync(join(root, 'build/default/tests/builder/d88make'), ['demo', image]);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--lang=en'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 1500 });
  await page.goto(pathToFileURL(join(root, 'build/web/d88cut.html')).href);
  await (await page.$('#image')).uploadFile(image);
  await page.waitForSelector('#report[data-state="done"]');
  await page.screenshot({ path: join(root, 'docs/screenshot.png'), fullPage: true });
  console.log('docs/screenshot.png');
} finally {
  await browser.close();
  rmSync(scratch, { recursive: true, force: true });
}
