// The page in a real browser (Debian's chromium through puppeteer-core):
// the files it offers are the bytes native d88cut writes, the states of an
// incomplete disk, a file that is no D88 image, the 64-disk image, both
// languages, and never a network request.
//
// Needs the page (cmake --workflow --preset web) and the native build
// (cmake --workflow --preset test) for d88make and d88cut.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';
import puppeteer from 'puppeteer-core';

const require = createRequire(import.meta.url);
const { unzipSync } = require('fflate');

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const PAGE = process.env.D88_PAGE || join(root, 'build/web/d88cut.html');
const NATIVE = process.env.D88_NATIVE || join(root, 'build/default');
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const FILES = ['DRIVER', 'MUSIC1', 'MUSIC2', 'MUSIC3', 'MUSIC4', 'MUSIC5', 'MUSIC6'];

let browser;
let scratch;
const images = {};

function make(kind) {
  const path = join(scratch, `${kind}.d88`);
  execFileSync(join(NATIVE, 'tests/builder/d88make'), [kind, path]);
  return path;
}

// What native d88cut writes for `image`, file by file (null: not written).
function nativeCut(image) {
  const dir = mkdtempSync(join(scratch, 'native-'));
  try {
    execFileSync(join(NATIVE, 'tool/d88cut'), [image], { cwd: dir, stdio: 'ignore' });
  } catch {
    // d88cut's status is not what is compared here
  }
  return Object.fromEntries(FILES.map((f) => [f, existsSync(join(dir, f)) ? readFileSync(join(dir, f)) : null]));
}

before(async () => {
  for (const needed of [PAGE, CHROMIUM, join(NATIVE, 'tool/d88cut'), join(NATIVE, 'tests/builder/d88make')]) {
    assert.ok(existsSync(needed), `${needed} is missing`);
  }
  scratch = mkdtempSync(join(tmpdir(), 'd88web-'));
  images.demo = make('demo');
  images.incomplete = make('incomplete');
  images.large = make('large');
  images.notes = join(root, 'README.md');
  browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    // Root in CI: chromium's sandbox needs a user namespace it may not have.
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (scratch) rmSync(scratch, { recursive: true, force: true });
});

// Opens the page (in `language`), chooses `image` and waits for its report.
async function report(image, language = 'en') {
  const page = await browser.newPage();
  const requests = [];
  page.on('request', (request) => requests.push(request.url()));
  await page.evaluateOnNewDocument((lang) => {
    Object.defineProperty(navigator, 'languages', { get: () => [lang] });
    Object.defineProperty(navigator, 'language', { get: () => lang });
  }, language);
  await page.goto(pathToFileURL(PAGE).href);
  const input = await page.$('#image');
  const started = Date.now();
  await input.uploadFile(image);
  await page.waitForSelector('#report[data-state="done"]', { timeout: 120000 });
  const seconds = (Date.now() - started) / 1000;
  return { page, requests, seconds };
}

// The bytes behind every download link, read in the page.
async function downloads(page) {
  return page.$$eval('a[download]', async (links) => {
    const out = {};
    for (const a of links) {
      const bytes = new Uint8Array(await (await fetch(a.href)).arrayBuffer());
      out[a.getAttribute('download')] = Array.from(bytes);
    }
    return out;
  });
}

function onlyLocal(requests) {
  const outside = requests.filter((url) => !/^(file|data|blob):/.test(url));
  assert.deepEqual(outside, [], 'the page made a network request');
}

test('the demo image: seven downloads, byte-equal to native d88cut, and a zip of them', async () => {
  const { page, requests } = await report(images.demo);
  const expected = nativeCut(images.demo);
  const got = await downloads(page);
  for (const name of FILES) {
    assert.ok(got[name], `no download for ${name}`);
    assert.ok(Buffer.from(got[name]).equals(expected[name]), `${name} differs from native d88cut`);
  }
  const zip = unzipSync(Uint8Array.from(got['d88cut-files.zip']));
  assert.deepEqual(Object.keys(zip).sort(), [...FILES].sort());
  for (const name of FILES) assert.ok(Buffer.from(zip[name]).equals(expected[name]), `${name} in the zip`);
  const verdict = await page.$eval('#verdict', (p) => p.textContent);
  assert.equal(verdict, 'demo.d88: 1 disk; disk 1 is the system disk: d88cut cuts all 7 files whole; 0 warnings');
  const messages = await page.$eval('#messages', (p) => p.textContent);
  assert.ok(messages.startsWith('Disk 1を認識しました.\ncutting ... DRIVER\n'), messages);
  const states = await page.$$eval('tr[data-file]', (rows) => rows.map((r) => r.dataset.state));
  assert.deepEqual(states, Array(7).fill('whole'));
  // The recipe's sectors, outlined once per file they go into: 7 + 6 + 6 + 1 + 1 + 3 + 4.
  assert.equal(await page.$$eval('svg[data-disk="1"] rect[data-file]', (r) => r.length), 28);
  onlyLocal(requests);
  await page.close();
});

test('an incomplete disk: the states, and no link for a file not cut', async () => {
  const { page, requests } = await report(images.incomplete);
  const rows = await page.$$eval('tr[data-file]', (list) =>
    list.map((r) => [r.dataset.file, r.dataset.state, r.querySelector('a[download]') !== null]));
  assert.deepEqual(rows, [
    ['DRIVER', 'not cut', false],
    ['MUSIC1', 'incomplete', true],
    ['MUSIC2', 'incomplete', true],
    ['MUSIC3', 'whole', true],
    ['MUSIC4', 'whole', true],
    ['MUSIC5', 'whole', true],
    ['MUSIC6', 'whole', true],
  ]);
  const expected = nativeCut(images.incomplete);
  const got = await downloads(page);
  for (const name of FILES.slice(1)) assert.ok(Buffer.from(got[name]).equals(expected[name]), name);
  // Both streams in the order d88cut wrote them, as `d88cut IMAGE 2>&1` shows.
  const messages = await page.$eval('#messages', (p) => p.textContent);
  assert.equal(messages,
    'Disk 1を認識しました.\n' +
    'd88cut: warning: DRIVER not cut: track 3 (C 1 H 1 R 1) is missing\n' +
    'cutting ... MUSIC1\n' +
    'd88cut: warning: MUSIC1 incomplete: track 11 (C 5 H 1 R 2) is missing\n' +
    'cutting ... MUSIC2\n' +
    'd88cut: warning: MUSIC2 incomplete: track 36 (C 18 H 0 R 3) is short\n' +
    'cutting ... MUSIC3\ncutting ... MUSIC4\ncutting ... MUSIC5\ncutting ... MUSIC6\n');
  onlyLocal(requests);
  await page.close();
});

test('a file that is no D88 image', async () => {
  const { page, requests } = await report(images.notes);
  const verdict = await page.$eval('#verdict', (p) => p.textContent);
  assert.match(verdict, /^README\.md: not a D88 image: /);
  assert.equal(await page.$$eval('a[download]', (a) => a.length), 0);
  onlyLocal(requests);
  await page.close();
});

test('the 64-disk image', async (t) => {
  const { page, requests, seconds } = await report(images.large);
  // The time is shown, not judged: speed is the benchmark's to show.
  t.diagnostic(`64-disk image (81 MB): report complete after ${seconds.toFixed(2)} s`);
  const verdict = await page.$eval('#verdict', (p) => p.textContent);
  assert.equal(verdict, 'large.d88: 64 disks; disk 64 is the system disk: d88cut cuts all 7 files whole; 0 warnings');
  assert.equal(await page.$$eval('svg[data-disk]', (s) => s.length) >= 4, true);
  assert.equal(await page.$$eval('details.disk', (d) => d.length), 64);
  onlyLocal(requests);
  await page.close();
});

test('both languages: the browser picks one, the switch changes it', async () => {
  const { page, requests } = await report(images.incomplete, 'ja-JP');
  assert.equal(await page.$eval('html', (h) => h.lang), 'ja');
  const state = await page.$eval('tr[data-file="DRIVER"] .state', (td) => td.textContent);
  assert.match(state, /^切り出せません: トラック 3 \(C 1 H 1 R 1\) がありません$/);
  const warning = await page.$eval('li[data-code="data-size-mismatch"]', (li) => li.textContent);
  assert.match(warning, /^データサイズがサイズコード/);
  await page.click('#lang');
  assert.equal(await page.$eval('html', (h) => h.lang), 'en');
  const english = await page.$eval('tr[data-file="DRIVER"] .state', (td) => td.textContent);
  assert.equal(english, 'not cut: track 3 (C 1 H 1 R 1) is missing');
  const englishWarning = await page.$eval('li[data-code="data-size-mismatch"]', (li) => li.textContent);
  assert.match(englishWarning, /^data size differs from the size code \(128 << N\): 1 record on track 36;/);
  onlyLocal(requests);
  await page.close();
});
