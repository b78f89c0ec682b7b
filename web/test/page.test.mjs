// The page in a real browser (Debian's chromium through puppeteer-core): the
// result first, the files it offers are the bytes native d88cut writes, the
// picture of a damaged disk, a collection of images and archives, errors,
// both languages, the WCAG 2 A and AA rules (axe-core), and never a network
// request.
//
// Needs the page (cmake --workflow --preset web) and the native build
// (cmake --workflow --preset test) for d88make, d88cut and d88info.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';
import puppeteer from 'puppeteer-core';

const require = createRequire(import.meta.url);
const { unzipSync, zipSync } = require('fflate');

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..', '..');
const PAGE = process.env.D88_PAGE || join(root, 'build/web/d88cut.html');
const NATIVE = process.env.D88_NATIVE || join(root, 'build/default');
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const AXE = join(here, '..', 'node_modules/axe-core/axe.min.js');
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

// What native d88info says of `image`, as JSON.
// (shown by its name alone, as the page shows it).
function nativeReport(image) {
  const args = ['--json', image.replace(/^.*\//, '')];
  let out;
  try {
    out = execFileSync(join(NATIVE, 'info/d88info'), args, { cwd: dirname(image) });
  } catch (error) {
    out = error.stdout;  // status 2: no D88 image, said in the document all the same
  }
  return JSON.parse(out.toString()).images[0];
}

before(async () => {
  for (const needed of [PAGE, CHROMIUM, AXE, join(NATIVE, 'tool/d88cut'), join(NATIVE, 'tests/builder/d88make')]) {
    assert.ok(existsSync(needed), `${needed} is missing`);
  }
  scratch = mkdtempSync(join(tmpdir(), 'd88web-'));
  images.demo = make('demo');
  images.incomplete = make('incomplete');
  images.large = make('large');
  images.padded = make('padded');
  images.notes = join(root, 'README.md');
  // A collection: an archive with images in nested folders and a text file,
  // and two loose images.
  const zip = zipSync({
    'set/disk-a/demo.d88': readFileSync(images.demo),
    'set/disk-b/padded.d88': readFileSync(images.padded),
    'set/readme.txt': new TextEncoder().encode('not an image\n'),
  });
  images.archive = join(scratch, 'set.zip');
  writeFileSync(images.archive, zip);
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

async function open(language = 'en', width = 1280) {
  const page = await browser.newPage();
  await page.setViewport({ width, height: 900 });
  const requests = [];
  page.on('request', (request) => requests.push(request.url()));
  await page.evaluateOnNewDocument((lang) => {
    Object.defineProperty(navigator, 'languages', { get: () => [lang] });
    Object.defineProperty(navigator, 'language', { get: () => lang });
  }, language);
  await page.goto(pathToFileURL(PAGE).href);
  return { page, requests };
}

// Opens the page (in `language`), chooses `files` and waits for the report.
async function report(files, language = 'en') {
  const opened = await open(language);
  const input = await opened.page.$('#image');
  await input.uploadFile(...[files].flat());
  await opened.page.waitForSelector('#report[data-state="done"]', { timeout: 120000 });
  return opened;
}

// The bytes behind every download link under `scope`, read in the page.
async function downloads(page, scope = 'body') {
  return page.$$eval(`${scope} a[download]`, async (links) => {
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

// axe-core on the page as it stands: no violation of the WCAG 2 A and AA
// rules.
async function accessible(page, what) {
  await page.addScriptTag({ path: AXE });
  const violations = await page.evaluate(async () => {
    const result = await axe.run(document, { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } });
    return result.violations.map((v) => `${v.id}: ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join('; ')}`);
  });
  assert.deepEqual(violations, [], `${what}: accessibility violations`);
}

test('the demo image: the result first, its downloads byte-equal to native d88cut, and a zip', async () => {
  const { page, requests } = await report(images.demo);
  assert.equal(await page.$eval('#result', (r) => r.dataset.outcome), 'all-whole');
  const expected = nativeCut(images.demo);
  const got = await downloads(page, '#result');
  for (const name of FILES) assert.ok(Buffer.from(got[name]).equals(expected[name]), `${name} differs from native d88cut`);
  const zipName = Object.keys(got).find((n) => n.endsWith('.zip'));
  const zip = unzipSync(Uint8Array.from(got[zipName]));
  assert.deepEqual(Object.keys(zip).sort(), [...FILES].sort());
  for (const name of FILES) assert.ok(Buffer.from(zip[name]).equals(expected[name]), `${name} in the zip`);
  // The result comes before everything else of the report.
  const order = await page.$eval('#report', (r) => [...r.children].map((c) => c.id || c.tagName));
  assert.equal(order[0], 'result');
  const verdict = await page.$eval('#verdict', (p) => p.textContent);
  assert.equal(verdict, 'demo.d88: 1 disk; disk 1 is the system disk: d88cut cuts all 7 files whole; 0 warnings');
  const messages = await page.$eval('#messages', (p) => p.textContent);
  assert.ok(messages.startsWith('Disk 1を認識しました.\ncutting ... DRIVER\n'), messages);
  const states = await page.$$eval('tr[data-file]', (rows) => rows.map((r) => r.dataset.state));
  assert.deepEqual(states, Array(7).fill('whole'));
  // The recipe's sectors, outlined once per file they go into: 7 + 6 + 6 + 1 + 1 + 3 + 4.
  assert.equal(await page.$$eval('svg[data-disk="1"] rect[data-file]', (r) => r.length), 28);
  assert.equal(await page.$eval('svg[data-disk="1"]', (s) => s.getAttribute('aria-label')), 'Sectors of disk 1, 80 tracks');
  // A cell's details without a mouse: focus the picture, move with a key.
  await page.$eval('svg[data-disk="1"]', (svg) => svg.focus());
  await page.keyboard.press('ArrowRight');
  assert.match(await page.$eval('.cell-info', (p) => p.textContent), /^Track 0, record 2: C 0 H 0 R 2 N 1, 256 bytes/);
  await accessible(page, 'a full result');
  onlyLocal(requests);
  await page.close();
});

test('a damaged disk: a partial result, the picture tells where the files are and what is missing', async () => {
  const { page, requests } = await report(images.incomplete);
  assert.equal(await page.$eval('#result', (r) => r.dataset.outcome), 'partial');
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
  const got = await downloads(page, '#result');
  assert.equal(got.DRIVER, undefined);
  for (const name of FILES.slice(1)) assert.ok(Buffer.from(got[name]).equals(expected[name]), name);
  // DRIVER's five sectors on track 3 and MUSIC1's on track 11 are missing;
  // track 36 R 3 is cut short for MUSIC2.
  const missing = await page.$$eval('svg[data-disk="1"] [data-state="missing"]', (c) => c.map((x) => x.dataset.file));
  assert.deepEqual(missing.sort(), ['DRIVER', 'DRIVER', 'DRIVER', 'DRIVER', 'DRIVER', 'MUSIC1'].sort());
  assert.equal(await page.$$eval('svg[data-disk="1"] [data-state="cut"]', (c) => c.length), 1);
  // Where MUSIC1's other bytes came from, in words.
  const leftover = await page.$eval('tr[data-file="MUSIC1"] .leftover', (s) => s.textContent);
  assert.equal(leftover, 'bytes 4,608–5,119 are what the work buffer held before (zero, or what an earlier disk left)');
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
  await accessible(page, 'a partial result');
  onlyLocal(requests);
  await page.close();
});

test('no known disk, and a file that is no D88 image: why, and what to try', async () => {
  const none = await report(images.padded);
  assert.equal(await none.page.$eval('#result', (r) => r.dataset.outcome), 'none');
  const why = await none.page.$eval('#result', (r) => r.textContent);
  assert.match(why, /the label bytes are all 0xE5 \(formatted, never written\)/);
  assert.equal(await none.page.$$eval('a[download]', (a) => a.length), 0);
  await accessible(none.page, 'nothing cut');
  await none.page.close();

  const { page, requests } = await report(images.notes);
  assert.equal(await page.$eval('#result', (r) => r.dataset.outcome), 'not-d88');
  const verdict = await page.$eval('#verdict', (p) => p.textContent);
  assert.match(verdict, /^README\.md: not a D88 image: /);
  assert.equal(await page.$$eval('a[download]', (a) => a.length), 0);
  await accessible(page, 'not a D88 image');
  onlyLocal(requests);
  await page.close();
});

test('the 64-disk image: the downloads at the top, and each collapsed disk with its warning count', async () => {
  const { page, requests } = await report(images.large);
  const verdict = await page.$eval('#verdict', (p) => p.textContent);
  assert.equal(verdict, 'large.d88: 64 disks; disk 64 is the system disk: d88cut cuts all 7 files whole; 0 warnings');
  assert.equal(await page.$eval('#result', (r) => r.dataset.outcome), 'all-whole');
  const expected = nativeCut(images.large);
  const got = await downloads(page, '#result');
  for (const name of FILES) assert.ok(Buffer.from(got[name]).equals(expected[name]), name);
  assert.equal(await page.$$eval('details.disk', (d) => d.length), 64);
  const summary = await page.$eval('details.disk[data-disk="10"] > summary', (s) => s.textContent);
  assert.match(summary, /· 0 warnings$/);
  onlyLocal(requests);
  await page.close();
});

test('a collection: loose images and a zip archive with nested folders, one row each', async () => {
  const { page, requests } = await report([images.archive, images.incomplete, images.notes]);
  const rows = await page.$$eval('#summary tr[data-image]', (list) => list.map((r) => [r.dataset.image, r.dataset.outcome]));
  assert.deepEqual(rows, [
    ['set.zip/set/disk-a/demo.d88', 'all-whole'],
    ['set.zip/set/disk-b/padded.d88', 'none'],
    ['set.zip/set/readme.txt', 'not-d88'],
    ['incomplete.d88', 'partial'],
    ['README.md', 'not-d88'],
  ]);
  assert.equal(await page.$eval('#progress', (p) => p.textContent), '5 of 5');
  const line = await page.$eval('#summary tr[data-image="incomplete.d88"] td:last-child', (td) => td.textContent);
  assert.equal(line, nativeReport(images.incomplete).verdict);
  await accessible(page, 'the summary');
  // A row opens that image's full report.
  await page.click('#summary tr[data-image="set.zip/set/disk-a/demo.d88"] button');
  await page.waitForSelector('#result[data-outcome="all-whole"]');
  const expected = nativeCut(images.demo);
  const got = await downloads(page, '#result');
  for (const name of FILES) assert.ok(Buffer.from(got[name]).equals(expected[name]), name);
  onlyLocal(requests);
  await page.close();
});

test('errors are shown in plain words, and the page stays usable', async () => {
  const { page, requests } = await open();
  const provoke = async (make) => {
    await page.evaluate(make);
    await page.waitForSelector('#report[data-state="done"]');
    const text = await page.$eval('#error', (e) => (e.hidden ? '' : e.textContent));
    await page.evaluate(() => { document.getElementById('report').dataset.state = 'idle'; });
    return text;
  };
  // An image over the size the page can take (a stand-in that only says its size).
  assert.match(await provoke(() => window.d88page.take([{ name: 'huge.d88', size: 2 ** 31, slice: () => new Blob([new Uint8Array(4)]) }])),
    /^huge\.d88 is larger than this page can take/);
  // A file that cannot be read.
  assert.match(await provoke(() => window.d88page.take([{
    name: 'gone.d88', size: 4096, slice: () => ({ arrayBuffer: () => Promise.reject(new Error('NotReadableError')) }),
  }])), /^gone\.d88 cannot be read/);
  // A damaged archive.
  assert.match(await provoke(() => window.d88page.take([new File([new Uint8Array([0x50, 0x4b, 3, 4, 1, 2, 3, 9, 9, 9])], 'broken.zip')])),
    /^broken\.zip is a damaged zip archive/);
  await accessible(page, 'an error');
  // An exception in the page's script.
  await page.evaluate(() => setTimeout(() => { throw new Error('boom'); }, 0));
  await page.waitForFunction(() => !document.getElementById('error').hidden &&
    document.getElementById('error').textContent.startsWith('Something went wrong in this page'));
  // Still usable: the next image gives its report.
  const input = await page.$('#image');
  await input.uploadFile(images.demo);
  await page.waitForSelector('#result[data-outcome="all-whole"]');
  assert.equal(await page.$eval('#error', (e) => e.hidden), true);
  onlyLocal(requests);
  await page.close();
});

// Everything the report says in English, each sentence of it.
function englishSentences(json) {
  const out = [json.verdict];
  for (const d of json.disks) {
    out.push(d.fit.text, d.geometry, d.label_state.text);
    for (const w of d.warnings) out.push(w.text);
    for (const f of d.files) out.push(f.text);
  }
  for (const w of json.warnings) out.push(w.text);
  return out.filter((s) => s && s.length > 8);
}

// The page's visible text, without d88cut's own output and without codes.
async function pageText(page) {
  return page.$eval('main', (m) => {
    const copy = m.cloneNode(true);
    for (const skip of copy.querySelectorAll('#messages, code, svg title')) skip.remove();
    return copy.innerText;
  });
}

test('in Japanese, no English sentence; in English, no Japanese; the switch changes it', async () => {
  for (const image of [images.incomplete, images.padded, images.notes]) {
    const { page, requests } = await report(image, 'ja-JP');
    assert.equal(await page.$eval('html', (h) => h.lang), 'ja');
    const json = nativeReport(image);
    const text = await pageText(page);
    for (const sentence of englishSentences(json)) assert.ok(!text.includes(sentence), `English in the Japanese page: ${sentence}`);
    for (const word of [' is missing', ' is short', 'cylinders', ' bytes', 'warning:', 'not cut', 'the system disk', 'label']) {
      assert.ok(!text.includes(word), `"${word}" in the Japanese page`);
    }
    await accessible(page, `Japanese, ${image}`);
    await page.click('#lang');
    assert.equal(await page.$eval('html', (h) => h.lang), 'en');
    const english = await pageText(page);
    const names = json.disks.map((d) => d.name || '').join('');
    const japanese = [...english.matchAll(/[\u3040-\u30ff\u4e00-\u9fff]+/g)].map((m) => m[0]).filter((m) => !names.includes(m));
    // The language button names the other language in it.
    assert.deepEqual(japanese.filter((m) => m !== '日本語'), [], 'Japanese in the English page');
    await accessible(page, `English, ${image}`);
    onlyLocal(requests);
    await page.close();
  }
  const { page } = await report(images.incomplete, 'ja-JP');
  const state = await page.$eval('tr[data-file="DRIVER"] .state', (td) => td.textContent);
  assert.equal(state, '切り出せません: トラック 3（C 1 H 1 R 1）がありません');
  const warning = await page.$eval('li[data-code="data-size-mismatch"]', (li) => li.textContent);
  assert.match(warning, /^データサイズがサイズコード（128 << N）と異なります: トラック 36 の 1 個のレコード。最初はトラック 36 のレコード 3（C 18 H 0 R 3 N 3）。512 バイトあり、N 3 は 1024 バイトを意味します/);
  await page.close();
});

test('the empty page passes the accessibility rules in both languages', async () => {
  for (const language of ['en', 'ja-JP']) {
    const { page, requests } = await open(language, 390);
    await accessible(page, `empty, ${language}`);
    onlyLocal(requests);
    await page.close();
  }
});

// The files of a disk's own file system: the FAT12 sample's, each to
// download, byte for byte what native d88get writes, and shown in the
// picture.
test('the files on a FAT12 disk: listed, offered, and shown in the picture', async () => {
  const sample = join(root, '..', 'shared', 'samples', 'real', 'townsemu_FPUTEST.D77');
  if (!existsSync(sample)) return;
  const out = mkdtempSync(join(scratch, 'get-'));
  execFileSync(join(NATIVE, 'fs/d88get'), ['-C', out, sample], { stdio: 'ignore' });
  const { page, requests } = await report(sample);
  assert.equal(await page.$eval('details.disk[data-disk="1"] .disk-files-fs', (d) => d.dataset.filesystem), 'fat12');
  const rows = await page.$$eval('.disk-files-fs tr[data-path]', (list) => list.map((r) => [r.dataset.path, r.dataset.kind]));
  assert.equal(rows.length, 10);
  assert.deepEqual(rows.filter(([, kind]) => kind === 'directory'), [['FPU2', 'directory']]);
  const links = await page.$$eval('.disk-files-fs a[data-path]', async (list) => {
    const got = {};
    for (const a of list) got[a.dataset.path] = Array.from(new Uint8Array(await (await fetch(a.href)).arrayBuffer()));
    return got;
  });
  assert.equal(Object.keys(links).length, 9);
  for (const [path, bytes] of Object.entries(links)) {
    assert.ok(Buffer.from(bytes).equals(readFileSync(join(out, path))), `${path} differs from native d88get`);
  }
  assert.ok(await page.$('.disk-files-fs a.zip[download$=".zip"]'));
  await page.click('.disk-files-fs tr[data-path="FPU2/MAIN.C"] button.show');
  const marked = await page.$$eval('svg[data-disk="1"] rect.fs-highlight', (r) => r.length);
  assert.equal(marked, 4);  // 3,872 bytes in 1,024-byte sectors
  await accessible(page, 'the files of a disk');
  onlyLocal(requests);
  await page.close();
});
