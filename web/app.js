// The page: reads the chosen images (or the images inside zip archives) in
// the browser, has the WebAssembly build of the reader, d88cut and the
// inspection work on each, and shows what they found. It works nothing out
// itself: every fact comes from the report and from d88cut's own run; this
// script only draws them, in the words of words.js.
'use strict';

// Each file of d88cut told apart by colour (at least 3:1 on white and on a
// normal sector's green) and by a mark, never by colour alone.
const FILE_STYLE = {
  DRIVER: { colour: '#1f5fa8', mark: 'D' },
  MUSIC1: { colour: '#b0302a', mark: '1' },
  MUSIC2: { colour: '#155d28', mark: '2' },
  MUSIC3: { colour: '#7a3d9e', mark: '3' },
  MUSIC4: { colour: '#9a5200', mark: '4' },
  MUSIC5: { colour: '#005a66', mark: '5' },
  MUSIC6: { colour: '#6b4a3e', mark: '6' },
};
// By the report's sector kinds.
const CELL_COLOURS = { normal: '#9cc79c', deleted: '#c9a0dc', error: '#e06666', 'odd-size': '#f6c26b', empty: '#e3e6eb' };
const MAX_CELLS = 512;      // per track row; more are summed up in one mark
const OPEN_DISKS = 1;       // disk blocks shown open at first where no disk is the system disk
const MAX_IMAGE = 1 << 30;  // the largest image the page takes: 1 GiB
const FILE_NAMES = Object.keys(FILE_STYLE);

const page = {
  lang: (navigator.languages || [navigator.language || 'en']).some((l) => String(l).toLowerCase().startsWith('ja'))
    ? 'ja'
    : 'en',
  result: null,   // the image whose report is shown
  rows: [],       // a collection: one summary per image
  urls: [],
  error: null,    // [key, ...arguments] of the error shown
};
let d88module = null;  // the WebAssembly module, started on first use

function words() {
  return WORDS[page.lang];
}

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) {
    if (value === undefined || value === null) continue;
    if (key === 'text') node.textContent = value;
    else node.setAttribute(key, value);
  }
  for (const child of children) if (child !== null && child !== undefined) node.append(child);
  return node;
}

function svgElement(tag, attributes = {}) {
  const node = document.createElementNS('http://www.w3.org/2000/svg', tag);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  return node;
}

function blobUrl(bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  page.urls.push(url);
  return url;
}

function baseName(path) {
  return path.replace(/^.*[/\\]/, '').replace(/\.[^.]*$/, '') || 'image';
}

// ---- errors -------------------------------------------------------------

function showError(key, ...args) {
  page.error = [key, ...args];
  renderError();
}

function renderError() {
  const box = document.getElementById('error');
  if (!page.error) {
    box.hidden = true;
    box.replaceChildren();
    return;
  }
  const [key, ...args] = page.error;
  const say = words().errors[key];
  box.textContent = typeof say === 'function' ? say(...args) : say;
  box.hidden = false;
}

window.addEventListener('error', (event) => showError('script', event.message || 'error'));
window.addEventListener('unhandledrejection', (event) => showError('script', String(event.reason)));

// ---- running the module -------------------------------------------------

function copyOut(m, pointer, size) {
  return size > 0 ? m.HEAPU8.slice(pointer, pointer + size) : new Uint8Array(0);
}

// Puts the image's bytes into the module's memory: a File as a stream, a
// piece at a time, so a large image is held once, not twice.
async function load(m, source, prefetched) {
  const size = source.size;
  const data = m._malloc(Math.max(size, 1));
  if (!data) throw Object.assign(new Error('memory'), { key: 'tooLarge' });
  try {
    if (prefetched) {
      const bytes = await prefetched;
      if (bytes.length !== size) throw new Error('the file changed');
      m.HEAPU8.set(bytes, data);
    } else if (source.file) {
      let at = 0;
      if (source.file.stream) {
        const reader = source.file.stream().getReader();
        for (;;) {
          const { done, value } = await reader.read();
          if (done) break;
          if (at + value.length > size) throw new Error('the file grew');
          m.HEAPU8.set(value, data + at);
          at += value.length;
        }
      } else {
        const part = new Uint8Array(await source.file.slice(0, size).arrayBuffer());
        m.HEAPU8.set(part, data);
        at = part.length;
      }
      if (at !== size) throw new Error('the file changed');
    } else {
      m.HEAPU8.set(await source.bytes(), data);
    }
  } catch (error) {
    m._free(data);
    throw Object.assign(new Error(String(error)), { key: error.key || 'unreadable', name: error.name });
  }
  return data;
}

// Runs the inspection on one image, and with `full` d88cut too, keeping its
// files and console and the run itself (for the tracks of each disk, asked
// for when the page draws them); without, only the summary a row of a
// collection shows.
async function analyse(source, full, prefetched) {
  if (source.size > MAX_IMAGE) throw Object.assign(new Error('too large'), { key: 'tooLarge' });
  if (!d88module) d88module = await createD88();
  const m = d88module;
  const data = await load(m, source, prefetched);
  const nameSize = m.lengthBytesUTF8(source.path) + 1;
  const namePointer = m._malloc(nameSize);
  m.stringToUTF8(source.path, namePointer, nameSize);
  const run = m._d88web_run(data, source.size, namePointer, full ? 1 : 0);  // the run owns the bytes now
  m._free(namePointer);
  let kept = false;
  try {
    if (m._d88web_status(run) === 1) throw Object.assign(new Error('cannot open'), { key: 'unreadable' });
    const report = JSON.parse(m.UTF8ToString(m._d88web_report(run))).images[0];
    if (!full) return { source, summary: summaryOf(report) };
    const folder = [];
    for (let i = 0; i < 7; ++i) {
      const size = m._d88web_fileSize(run, i);
      if (size >= 0) folder.push({ name: m.UTF8ToString(m._d88web_fileName(i)), bytes: copyOut(m, m._d88web_file(run, i), size) });
    }
    const written = [];
    for (let i = 0; i < m._d88web_writtenCount(run); ++i) {
      written.push({
        disk: m._d88web_writtenDisk(run, i) + 1,
        name: m.UTF8ToString(m._d88web_writtenName(run, i)),
        bytes: copyOut(m, m._d88web_written(run, i), m._d88web_writtenSize(run, i)),
      });
    }
    kept = true;
    return {
      source,
      report,
      run,
      summary: summaryOf(report),
      status: m._d88web_status(run),
      console: copyOut(m, m._d88web_console(run), m._d88web_consoleSize(run)),
      folder,
      written,
    };
  } finally {
    if (!kept) m._d88web_free(run);
  }
}

// A disk's tracks, from the run, the first time the page draws them.
function tracksOf(result, disk) {
  if (!disk.tracks) disk.tracks = JSON.parse(d88module.UTF8ToString(d88module._d88web_tracks(result.run, disk.number)));
  return disk.tracks;
}

// Lets go of the image shown before.
function forget(result) {
  if (result && result.run) d88module._d88web_free(result.run);
}

// ---- what the user chose: files, and the files inside zip archives -------

function isZip(file, head) {
  return /\.zip$/i.test(file.name) || (head[0] === 0x50 && head[1] === 0x4b && head[2] === 0x03 && head[3] === 0x04);
}

// Every image the user gave, in order: files as they are, and each file in
// a zip archive (through nested folders) as `ARCHIVE/PATH`.
async function sourcesOf(files) {
  const out = [];
  for (const file of files) {
    // A disk image by its name needs no look inside; anything else may be a
    // zip archive under another name.
    if (/\.(d88|d77|88d|d8u|d68)$/i.test(file.name)) {
      out.push({ path: file.name, size: file.size, file });
      continue;
    }
    let head;
    try {
      head = new Uint8Array(await file.slice(0, 4).arrayBuffer());
    } catch {
      showError('unreadable', file.name);
      continue;
    }
    if (!isZip(file, head)) {
      out.push({ path: file.name, size: file.size, file });
      continue;
    }
    let zip;
    const names = [];
    try {
      zip = new Uint8Array(await file.arrayBuffer());
      // Listing only: the filter keeps nothing, so nothing is inflated.
      fflate.unzipSync(zip, {
        filter: (entry) => {
          if (!entry.name.endsWith('/')) names.push({ name: entry.name, size: entry.originalSize });
          return false;
        },
      });
    } catch {
      showError('badArchive', file.name);
      continue;
    }
    for (const entry of names) {
      out.push({
        path: `${file.name}/${entry.name}`,
        size: entry.size,
        // Inflated when its turn comes, one at a time.
        bytes: async () => {
          try {
            return fflate.unzipSync(zip, { filter: (e) => e.name === entry.name })[entry.name];
          } catch {
            throw Object.assign(new Error('bad archive'), { key: 'badArchive', name: file.name });
          }
        },
      });
    }
  }
  return out;
}

// ---- drawing -------------------------------------------------------------

function renderWarning(w) {
  return element('li', { 'data-code': w.code }, `${words().warning(w)} `, element('code', { text: `[${w.code}]` }));
}

function renderWarnings(list, heading) {
  const box = element('div', { class: 'warnings' }, element('h4', { text: heading }));
  if (list.length === 0) {
    box.append(element('p', { text: words().noWarnings }));
    return box;
  }
  box.append(element('ul', { class: 'warnings' }, ...list.map(renderWarning)));
  return box;
}

function facts(disk) {
  const w = words();
  const media = disk.media_type ? `${disk.media_type} (${hex2(disk.media)})` : `${w.unknownMedia} (${hex2(disk.media)})`;
  const known = disk.known ? w[disk.known] : `${w.noKnown}: ${w.label(disk)}`;
  const rows = [
    [w.offset, `${disk.offset} (0x${disk.offset.toString(16).toUpperCase()})`],
    [w.name, `"${disk.name}"`],
    [w.media, media],
    [w.writeProtect, disk.write_protect ? w.on : disk.write_protect_byte === 0 ? w.off : hex2(disk.write_protect_byte)],
    [w.size, `${disk.disk_size} ${w.bytes}: ${w.fit(disk)}`],
    [w.geometry, w.geometryText(disk)],
    [w.known, known],
  ];
  return element('dl', { class: 'facts' }, ...rows.flatMap(([k, v]) => [element('dt', { text: k }), element('dd', { text: v })]));
}

function fileMark(name) {
  const style = FILE_STYLE[name];
  return element('span', { class: 'mark', style: `--file:${style.colour}`, 'aria-hidden': 'true', text: style.mark });
}

function zipLink(files, zipName, label) {
  const zipped = {};
  for (const f of files) zipped[f.name] = f.bytes;
  const zip = fflate.zipSync(zipped, { level: 0, mtime: new Date(1980, 0, 1) });
  return element('a', { class: 'download zip', download: zipName, href: blobUrl(zip, 'application/zip'), text: label });
}

function downloadList(files, zipName) {
  const list = element('ul', { class: 'downloads' });
  for (const f of files) {
    list.append(element('li', {}, fileMark(f.name),
      element('a', { class: 'download', download: f.name, href: blobUrl(f.bytes, 'application/octet-stream'), text: f.name })));
  }
  const box = element('div', {}, list);
  if (files.length > 0) box.append(element('p', {}, zipLink(files, zipName, words().zipOf(zipName))));
  return box;
}

// The answer to "did I get my files?", with the downloads right there.
function resultBlock(result) {
  const w = words();
  const r = result.report;
  const outcome = r.outcome;
  const box = element('section', { id: 'result', 'data-outcome': outcome, class: `result ${outcome}`, 'aria-labelledby': 'result-word' });
  const icon = { 'all-whole': '✔', partial: '⚠', none: '✖', 'not-d88': '✖' }[outcome];
  box.append(element('p', { class: 'outcome' }, element('span', { class: 'icon', 'aria-hidden': 'true', text: icon }),
    element('strong', { id: 'result-word', text: w.outcomeWord[outcome] })));
  const systems = r.disks.filter((d) => d.known === 'system');
  const last = systems[systems.length - 1];
  if (outcome === 'not-d88') {
    box.append(element('p', { class: 'sentence', text: w.result['not-d88'](page.lang === 'ja' ? w.notD88(result.summary) : r.reason) }));
    box.append(element('p', { class: 'next', text: w.tryNext['not-d88'] }));
    return box;
  }
  if (outcome === 'none') {
    box.append(element('p', { class: 'sentence', text: w.result.none }));
    const why = element('ul', { class: 'why' });
    for (const d of r.disks) if (d.media !== undefined) why.append(element('li', { text: w.whyNone(d, w.label(d)) }));
    box.append(why, element('p', { class: 'next', text: w.tryNext.none }));
    return box;
  }
  const whole = last.files.filter((f) => f.state === 'whole').length;
  box.append(element('p', { class: 'sentence', text: outcome === 'all-whole' ? w.result['all-whole'](last) : w.result.partial(last, whole) }));
  const base = baseName(result.source.path);
  if (systems.length > 1) box.append(element('p', { text: w.several(systems.length) }), element('p', { class: 'lead', text: w.leftFiles }));
  box.append(downloadList(result.folder, `${base}-d88cut.zip`));
  if (systems.length > 1) {
    for (const d of systems) {
      const own = result.written.filter((f) => f.disk === d.number);
      box.append(element('div', { class: 'disk-files', 'data-disk': d.number },
        element('p', { class: 'lead', text: w.diskFiles(d) }), downloadList(own, `${base}-disk${d.number}.zip`)));
    }
  }
  return box;
}

// The seven files of a system disk: mark, name, size, state, where bytes
// that are not the file's came from, and the bytes d88cut wrote from it.
function fileTable(disk, result) {
  const w = words();
  const table = element('table', { class: 'files' },
    element('thead', {}, element('tr', {}, element('th', { scope: 'col', text: w.file }), element('th', { scope: 'col', text: w.size }),
      element('th', { scope: 'col', text: w.state }), element('th', { scope: 'col', text: w.download }))));
  const body = element('tbody');
  for (const f of disk.files) {
    const own = [...result.written].reverse().find((x) => x.disk === disk.number && x.name === f.name);
    const link = element('td');
    if (own) link.append(element('a', { class: 'download', download: f.name, href: blobUrl(own.bytes, 'application/octet-stream'), text: f.name }));
    const state = element('td', { class: 'state' }, element('span', { text: w.fileState(f) }));
    // Where an incomplete file's other bytes came from (a file not cut is
    // not written at all).
    if (f.state === 'incomplete') {
      for (const l of f.leftovers || []) state.append(element('span', { class: 'leftover', text: w.leftover(l) }));
    }
    body.append(element('tr', { 'data-file': f.name, 'data-state': f.state },
      element('th', { scope: 'row' }, fileMark(f.name), ` ${f.name}`), element('td', { text: `${f.size}` }), state, link));
  }
  table.append(body);
  return element('div', {}, element('h4', { text: w.files }), table);
}

function legend(disk) {
  const w = words();
  const box = element('div', { class: 'legend' });
  for (const kind of ['normal', 'deleted', 'error', 'odd-size', 'empty']) {
    box.append(element('span', { class: 'swatch', style: `--swatch:${CELL_COLOURS[kind]}`, text: w[kind] }));
  }
  box.append(element('span', { class: 'swatch missing', text: w.missingCell }), element('span', { class: 'swatch cut', text: w.cutCell }));
  for (const f of disk.files || []) {
    if (f.sectors.length > 0) box.append(element('span', { class: 'filekey' }, fileMark(f.name), f.name));
  }
  return box;
}

// One row per track, one cell per sector in stored order, its width by its
// size; each file's sectors outlined in its colour and marked with its
// mark; sectors a file needs that the disk lacks drawn as dashed empty
// cells, and those cut short marked so. Keyboard: arrows move between
// cells, and the details of the cell show below the picture.
function picture(disk) {
  const w = words();
  const ROW = 14, LABEL = 34, SCALE = 1 / 22;
  const byIndex = new Map(disk.tracks.map((t) => [t.track, t]));
  const last = disk.tracks.length ? disk.tracks[disk.tracks.length - 1].track : 0;
  const outlines = new Map();  // "track record" -> files made of that sector
  const cut = new Map();       // "track record" -> files that need more of it
  const missing = new Map();   // track -> [{place, file}]
  for (const f of disk.files || []) {
    for (const s of f.sectors) {
      if (s.record === null) continue;
      const key = `${s.track} ${s.record}`;
      outlines.set(key, [...(outlines.get(key) || []), f.name]);
    }
    for (const s of f.failed || []) {
      if (s.why === 'short' && s.record !== null) cut.set(`${s.track} ${s.record}`, [...(cut.get(`${s.track} ${s.record}`) || []), f.name]);
      if (s.why === 'missing') missing.set(s.track, [...(missing.get(s.track) || []), { place: s, file: f.name }]);
    }
  }
  const cells = [];  // [x, y, width, text] for the keyboard and the details line
  const svg = svgElement('svg', { 'data-disk': disk.number, role: 'img', 'aria-label': w.pictureName(disk.number, disk.tracks.length), tabindex: '0' });
  const addCell = (attributes, text) => {
    const cell = svgElement('rect', attributes);
    const tip = svgElement('title');
    tip.textContent = text;
    cell.append(tip);
    cell.dataset.cell = cells.length;
    cells.push({ text, cell });
    svg.append(cell);
    return cell;
  };
  let width = 0;
  for (let index = 0; index <= last; ++index) {
    const y = index * ROW;
    if (index % 10 === 0) {
      const label = svgElement('text', { x: 0, y: y + ROW - 4, 'aria-hidden': 'true' });
      label.textContent = `${index}`;
      svg.append(label);
    }
    let track = byIndex.get(index);
    let x = LABEL;
    let note = '';
    if (track && track.same_as !== undefined) {
      note = ` (${w.sameAs(track.same_as)})`;
      track = byIndex.get(track.same_as);
    }
    if (!track || track.offset === null || track.empty || !track.sectors || track.sectors.length === 0) {
      if (track || missing.has(index)) {
        addCell({ x, y, width: 160, height: ROW - 2, fill: CELL_COLOURS.empty }, w.emptyTrack(index, track && track.empty));
        x += 162;
      }
    } else {
      const sectors = track.sectors.slice(0, MAX_CELLS);
      sectors.forEach((s, i) => {
        const cellWidth = Math.max(3, s.size * SCALE);
        const key = `${index} ${i + 1}`;
        const files = outlines.get(key) || [];
        const short = cut.get(key) || [];
        const text = w.cell(index, i + 1, s, w[s.kind], files) + note + short.map((f) => w.cutCellText(f)).join('');
        const cell = addCell({ x, y, width: cellWidth - 1, height: ROW - 2, fill: CELL_COLOURS[s.kind], 'data-kind': s.kind,
          'data-track': index, 'data-record': i + 1 }, text);
        if (short.length) {
          cell.dataset.state = 'cut';
          cell.setAttribute('fill', 'url(#cut)');
        }
        // Inset strokes, one per file, so that shared sectors stay legible,
        // and the files' marks in the cell.
        files.forEach((name, k) => {
          svg.append(svgElement('rect', {
            x: x + 0.75 + k * 2, y: y + 0.75 + k * 2, width: Math.max(1, cellWidth - 2.5 - 4 * k), height: Math.max(1, ROW - 3.5 - 4 * k),
            fill: 'none', stroke: FILE_STYLE[name].colour, 'stroke-width': 1.5, 'pointer-events': 'none', 'data-file': name,
          }));
        });
        if (files.length && cellWidth > 8) {
          const mark = svgElement('text', { x: x + 3, y: y + ROW - 4, class: 'cellmark', 'aria-hidden': 'true', 'pointer-events': 'none' });
          mark.textContent = files.map((n) => FILE_STYLE[n].mark).join('');
          svg.append(mark);
        }
        x += cellWidth;
      });
      if (track.sectors.length > MAX_CELLS) {
        const more = svgElement('text', { x: x + 4, y: y + ROW - 4 });
        more.textContent = w.more(track.sectors.length - MAX_CELLS);
        svg.append(more);
        x += 110;
      }
    }
    // Sectors a file needs that the disk lacks, where the track ends.
    for (const { place, file } of missing.get(index) || []) {
      const cell = addCell({ x: x + 1, y: y + 1, width: 44, height: ROW - 4, fill: '#ffffff', stroke: FILE_STYLE[file].colour,
        'stroke-width': 1.5, 'stroke-dasharray': '3 2', 'data-file': file }, w.missingCellText(index, place, file));
      cell.dataset.state = 'missing';
      x += 47;
    }
    width = Math.max(width, x);
  }
  const defs = svgElement('defs');
  const pattern = svgElement('pattern', { id: 'cut', width: 4, height: 4, patternUnits: 'userSpaceOnUse', patternTransform: 'rotate(45)' });
  pattern.append(svgElement('rect', { width: 4, height: 4, fill: CELL_COLOURS.normal }), svgElement('line', { x1: 0, y1: 0, x2: 0, y2: 4, stroke: '#5b2c00', 'stroke-width': 1.5 }));
  defs.append(pattern);
  svg.prepend(defs);
  svg.setAttribute('width', Math.ceil(width + 4));
  svg.setAttribute('height', (last + 1) * ROW);
  svg.setAttribute('viewBox', `0 0 ${Math.ceil(width + 4)} ${(last + 1) * ROW}`);

  const info = element('p', { class: 'cell-info', 'aria-live': 'polite' });
  let at = -1;
  const show = (i) => {
    if (at >= 0 && cells[at]) cells[at].cell.classList.remove('focused');
    at = Math.max(0, Math.min(cells.length - 1, i));
    if (!cells[at]) return;
    cells[at].cell.classList.add('focused');
    info.textContent = cells[at].text;
  };
  svg.addEventListener('click', (event) => {
    const i = event.target.dataset && event.target.dataset.cell;
    if (i !== undefined) show(Number(i));
  });
  svg.addEventListener('keydown', (event) => {
    const step = { ArrowRight: 1, ArrowLeft: -1, ArrowDown: 8, ArrowUp: -8, Home: -cells.length, End: cells.length }[event.key];
    if (step === undefined) return;
    event.preventDefault();
    show(at < 0 ? 0 : at + step);
  });
  svg.addEventListener('focus', () => at < 0 && show(0));
  return element('div', {}, element('div', { class: 'map-scroll' }, svg), info, tracksTable(disk));
}

// The picture as a table, for reading without it.
function tracksTable(disk) {
  const w = words();
  const body = element('tbody');
  for (const t of disk.tracks) {
    const sectors = t.sectors || [];
    const sizes = [...new Set(sectors.map((s) => s.size))].join(', ');
    const notes = t.same_as !== undefined ? w.sameAs(t.same_as) : t.offset === null || t.empty || sectors.length === 0 ? w.empty : '';
    body.append(element('tr', {}, element('th', { scope: 'row', text: `${t.track}` }), element('td', { text: `${sectors.length}` }),
      element('td', { text: sizes }), element('td', { text: notes })));
  }
  const table = element('table', { class: 'tracks' },
    element('thead', {}, element('tr', {}, ...[w.trackCol, w.sectorsCol, w.sizesCol, w.notesCol].map((h) => element('th', { scope: 'col', text: h })))), body);
  return element('details', { class: 'alternative' }, element('summary', { text: w.tracksTable }), table);
}

// The files of the disk's own file system: name, type, size, date, a
// download each and a zip of them all, and a button that shows a file's
// sectors in the picture.
function diskFiles(disk, result, map) {
  const w = words();
  const fsys = disk.filesystem;
  if (!fsys) return null;
  if (!fsys.kind) return element('p', { class: 'hint', text: w.noFileSystem(fsys.why) });
  const m = d88module;
  const box = element('div', { class: 'disk-files-fs', 'data-filesystem': fsys.kind },
    element('h4', { text: w.diskFilesTitle(fsys.kind, fsys.files.filter((f) => f.kind === 'file').length) }));
  const body = element('tbody');
  const zipped = {};
  fsys.files.forEach((f, index) => {
    const link = element('td');
    if (f.kind === 'file') {
      const size = m._d88web_fsRead(result.run, disk.number, index);
      if (size >= 0) {
        const bytes = copyOut(m, m._d88web_fsBytes(result.run), size);
        zipped[f.path] = bytes;
        link.append(element('a', { class: 'download', download: f.path.replace(/^.*\//, ''), 'data-path': f.path,
          href: blobUrl(bytes, 'application/octet-stream'), text: w.download }));
      }
    }
    const show = element('button', { type: 'button', class: 'show', 'aria-pressed': 'false' }, w.fsShow);
    show.addEventListener('click', () => {
      const on = show.getAttribute('aria-pressed') !== 'true';
      for (const b of box.querySelectorAll('button.show')) b.setAttribute('aria-pressed', 'false');
      show.setAttribute('aria-pressed', on ? 'true' : 'false');
      highlight(map, on ? f.sectors : []);
    });
    const flags = f.flags.map((flag) => w.fsFlags[flag] || flag).join(', ');
    body.append(element('tr', { 'data-path': f.path, 'data-kind': f.kind },
      element('th', { scope: 'row', text: f.path }), element('td', { text: w.types[f.type] || f.type }),
      element('td', { text: f.kind === 'file' ? `${f.size}` : '' }), element('td', { text: f.date ? f.date.replace('T', ' ').slice(0, 16) : '' }),
      element('td', { text: flags }), link, element('td', {}, f.sectors.length ? show : '')));
  });
  box.append(element('div', { class: 'table-scroll' }, element('table', { class: 'fs-files' },
    element('thead', {}, element('tr', {}, ...[w.fsName, w.fsType, w.size, w.fsDate, '', w.download, ''].map((h) => element('th', { scope: 'col', text: h })))), body)));
  if (Object.keys(zipped).length) {
    const name = `${baseName(result.source.path)}-disk${disk.number}-files.zip`;
    const zip = fflate.zipSync(zipped, { level: 0, mtime: new Date(1980, 0, 1) });
    box.append(element('p', {}, element('a', { class: 'download zip', download: name, href: blobUrl(zip, 'application/zip'), text: w.fsZip(name) })));
  }
  if (fsys.warnings.length) box.append(element('p', { class: 'hint', text: w.fsWarnings(fsys.warnings.length) }));
  return box;
}

// Marks the cells of `sectors` in the disk's picture (drawing it first).
function highlight(map, sectors) {
  if (map.draw) map.draw();
  const svg = map.querySelector('svg');
  if (!svg) return;
  for (const cell of svg.querySelectorAll('.fs-highlight')) cell.classList.remove('fs-highlight');
  for (const s of sectors) {
    if (s.record === null) continue;
    const cell = svg.querySelector(`rect[data-track="${s.track}"][data-record="${s.record}"]`);
    if (cell) cell.classList.add('fs-highlight');
  }
}

function diskBlock(disk, result, open) {
  const w = words();
  const count = disk.warnings.length;
  const title = `${w.disk} ${disk.number}` + (disk.media === undefined ? '' : `: "${disk.name}"${disk.known ? ` — ${w[disk.known]}` : ''}`) +
    ` · ${w.warningCount(count)}`;
  const block = element('details', { class: 'disk', 'data-disk': disk.number }, element('summary', { text: title }));
  if (disk.media === undefined) {
    block.append(renderWarnings(disk.warnings, w.warnings));
    return block;
  }
  block.append(facts(disk));
  if (disk.known === 'system') block.append(fileTable(disk, result));
  block.append(renderWarnings(disk.warnings, w.warnings));
  const map = element('div', { class: 'map' }, element('p', { class: 'hint', text: w.picture }), legend(disk));
  const files = diskFiles(disk, result, map);
  if (files) block.append(files);
  block.append(map);
  // The picture is drawn when the block is first opened: a 64-disk image
  // stays quick to show.
  const draw = () => {
    if (map.querySelector('svg')) return;
    tracksOf(result, disk);
    map.append(picture(disk));
  };
  map.draw = draw;
  block.addEventListener('toggle', () => block.open && draw());
  if (open) {
    block.open = true;
    draw();
  }
  return block;
}

function renderReport() {
  const w = words();
  const box = document.getElementById('report');
  box.replaceChildren();
  const result = page.result;
  if (!result) return;
  const r = result.report;
  box.append(resultBlock(result));
  box.append(element('p', { class: 'verdict', id: 'verdict', text: w.verdict(result.summary) }));
  if (!r.d88) return;
  const said = new TextDecoder('shift_jis').decode(result.console);
  box.append(element('h3', { class: 'secondary', text: w.cutSays }),
    element('pre', { class: 'messages', id: 'messages', lang: 'en', text: said || w.nothingPrinted }));
  // The system disks are open (their pictures drawn); with none, the first
  // disk is.
  const anySystem = r.disks.some((d) => d.known === 'system');
  let opened = 0;
  for (const disk of r.disks) {
    const open = anySystem ? disk.known === 'system' : opened < OPEN_DISKS;
    if (open) ++opened;
    box.append(diskBlock(disk, result, open));
  }
  if (r.warnings.length > 0) box.append(renderWarnings(r.warnings, w.imageWarnings));
}

function summaryRow(row) {
  const w = words();
  const s = row.summary;
  const outcome = s ? s.outcome : 'error';
  const open = element('button', { type: 'button', class: 'open', 'aria-label': w.open(row.source.path) }, row.source.path);
  open.addEventListener('click', () => showImage(row.source));
  return element('tr', { 'data-image': row.source.path, 'data-outcome': outcome },
    element('th', { scope: 'row' }, open),
    element('td', { class: `outcome-cell ${outcome}` }, element('span', { class: 'icon', 'aria-hidden': 'true', text: { 'all-whole': '✔', partial: '⚠' }[outcome] || '✖' }), ` ${w.outcomeWord[outcome]}`),
    element('td', { text: s ? w.verdict(s) : w.verdict({ path: row.source.path, error: row.error }) }));
}

function renderSummary() {
  const w = words();
  const box = document.getElementById('collection');
  box.replaceChildren();
  if (page.rows.length === 0) return;
  const body = element('tbody', {}, ...page.rows.map(summaryRow));
  box.append(element('h2', { text: w.summary }), element('div', { class: 'table-scroll' },
    element('table', { id: 'summary' },
      element('thead', {}, element('tr', {}, ...[w.summaryImage, w.state, w.summaryVerdict].map((h) => element('th', { scope: 'col', text: h })))), body)));
}

// One more row of the summary, without drawing the others again.
function addSummaryRow(row) {
  page.rows.push(row);
  const body = document.querySelector('#summary tbody');
  if (body) body.append(summaryRow(row));
  else renderSummary();
}

function render() {
  const w = words();
  document.documentElement.lang = page.lang;
  document.getElementById('tagline').textContent = w.tagline;
  document.getElementById('choose').textContent = w.choose;
  document.getElementById('private').textContent = w.private;
  const lang = document.getElementById('lang');
  lang.textContent = w.switchTo;
  lang.setAttribute('lang', page.lang === 'ja' ? 'en' : 'ja');
  lang.title = w.switchLabel;
  for (const url of page.urls) URL.revokeObjectURL(url);
  page.urls = [];
  renderError();
  renderSummary();
  renderReport();
}

function setState(state) {
  document.getElementById('report').dataset.state = state;
}

// Opens one image's full report.
async function showImage(source) {
  setState('working');
  document.getElementById('progress').textContent = words().working(source.path);
  forget(page.result);
  page.result = null;
  try {
    page.result = await analyse(source, true);
    page.error = null;
  } catch (error) {
    const key = error.key || 'script';
    showError(key, key === 'badArchive' ? error.name : key === 'script' ? String(error.message || error) : source.path, '1 GiB');
  }
  document.getElementById('progress').textContent = '';
  render();
  setState('done');
}

// Takes what the user chose: one image opens at once; several (or an
// archive) fill the summary, one image at a time, so memory stays that of
// the largest.
async function take(files) {
  page.error = null;
  page.rows = [];
  forget(page.result);
  page.result = null;
  setState('working');
  render();
  const sources = await sourcesOf(files);
  if (sources.length === 1) {
    await showImage(sources[0]);
    return;
  }
  const progress = document.getElementById('progress');
  // The next image is read while this one is worked on: two at most in
  // memory at once.
  const fetchBytes = (source) => {
    if (!source || source.size > MAX_IMAGE) return null;
    const bytes = source.file ? source.file.arrayBuffer().then((b) => new Uint8Array(b)) : source.bytes();
    bytes.catch(() => {});  // a failure is met, and said, when its turn comes
    return bytes;
  };
  let next = fetchBytes(sources[0]);
  for (let i = 0; i < sources.length; ++i) {
    progress.textContent = words().progress(i, sources.length);
    const row = { source: sources[i] };
    const bytes = next;
    next = fetchBytes(sources[i + 1]);
    try {
      Object.assign(row, await analyse(sources[i], false, bytes));
    } catch (error) {
      row.error = words().errors[error.key || 'unreadable'](sources[i].path, '1 GiB');
    }
    addSummaryRow(row);
  }
  progress.textContent = sources.length ? words().progress(sources.length, sources.length) : '';
  render();
  setState('done');
}

document.getElementById('image').addEventListener('change', (event) => {
  if (event.target.files.length > 0) take([...event.target.files]);
});
const drop = document.getElementById('drop');
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  drop.classList.add('over');
});
document.addEventListener('dragleave', () => drop.classList.remove('over'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  drop.classList.remove('over');
  if (event.dataTransfer.files.length > 0) take([...event.dataTransfer.files]);
});
document.getElementById('lang').addEventListener('click', () => {
  page.lang = page.lang === 'ja' ? 'en' : 'ja';
  render();
});
// For the browser tests: hand the page blobs as if chosen.
window.d88page = { take: (blobs) => take(blobs) };
render();
