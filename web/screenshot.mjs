// Renders the page into the pictures in docs/: the demo result in English
// and Japanese at desktop and phone widths, the 64-disk image, a damaged
// disk's picture and a collection. Needs the page (cmake --workflow --preset
// web), the native build (for d88make), Debian's chromium, and a Japanese
// font (fonts-noto-cjk) for the Japanese pictures.
//
//   npm run screenshot --prefix web
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';
import puppeteer from 'puppeteer-core';

const require = createRequire(import.meta.url);
const { zipSync } = require('fflate');
const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const scratch = mkdtempSync(join(tmpdir(), 'd88shot-'));
const make = (kind) => {
  const path = join(scratch, `${kind}.d88`);
  execFileSync(join(root, 'build/default/tests/builder/d88make'), [kind, path]);
  return path;
};
const demo = make('demo');
const incomplete = make('incomplete');
const large = make('large');
const padded = make('padded');
const collection = join(scratch, 'dumps.zip');
writeFileSync(collection, zipSync({
  'dumps/music/system.d88': readFileSync(demo),
  'dumps/music/damaged.d88': readFileSync(incomplete),
  'dumps/other/blank.d88': readFileSync(padded),
  'dumps/readme.txt': new TextEncoder().encode('notes\n'),
}));

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu'],
});

async function shot(name, files, { lang = 'en', width = 1100, height = 1500, full = true, after } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  await page.evaluateOnNewDocument((l) => {
    Object.defineProperty(navigator, 'languages', { get: () => [l] });
  }, lang);
  await page.goto(pathToFileURL(join(root, 'build/web/d88cut.html')).href);
  await (await page.$('#image')).uploadFile(...files);
  await page.waitForSelector('#report[data-state="done"]', { timeout: 120000 });
  if (after) await after(page);
  await page.screenshot({ path: join(root, 'docs', name), fullPage: full });
  await page.close();
  console.log(`docs/${name}`);
}

try {
  await shot('screenshot.png', [demo]);
  await shot('screenshot-ja.png', [demo], { lang: 'ja' });
  await shot('screenshot-phone.png', [demo], { width: 390, height: 1600, full: false });
  await shot('screenshot-ja-phone.png', [demo], { lang: 'ja', width: 390, height: 1600, full: false });
  await shot('screenshot-large.png', [large], { height: 1200, full: false });
  await shot('screenshot-damaged.png', [incomplete], {
    height: 1400,
    full: false,
    // The file table and the picture of the damaged disk.
    after: (page) => page.$eval('details.disk[data-disk="1"] table.files', (t) => t.scrollIntoView()),
  });
  await shot('screenshot-collection.png', [collection, padded], { height: 900, full: false });
  // The files of a disk's own file system: the real FAT12 sample, where it
  // stands beside the project.
  const fat = join(root, '..', 'shared', 'samples', 'real', 'townsemu_FPUTEST.D77');
  if (existsSync(fat)) {
    await shot('screenshot-files.png', [fat], {
      lang: 'ja',
      height: 1000,
      full: false,
      after: (page) => page.$eval('.disk-files-fs', (t) => t.scrollIntoView()),
    });
  }
} finally {
  await browser.close();
  rmSync(scratch, { recursive: true, force: true });
}
