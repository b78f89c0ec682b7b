// The page: reads the chosen image in the browser, has the WebAssembly build
// of the reader, d88cut and the inspection work on it, and shows what they
// found. It works nothing out itself: every fact comes from the report and
// from d88cut's own run; this script only draws them.
'use strict';

const FILE_COLOURS = {
  DRIVER: '#1f77b4',
  MUSIC1: '#d62728',
  MUSIC2: '#2ca02c',
  MUSIC3: '#9467bd',
  MUSIC4: '#ff7f0e',
  MUSIC5: '#17becf',
  MUSIC6: '#8c564b',
};
// By the report's sector kinds.
const CELL_COLOURS = { normal: '#9cc79c', deleted: '#c9a0dc', error: '#e06666', 'odd-size': '#f6c26b', empty: '#e3e6eb' };
const MAX_CELLS = 512;  // per track row; more are summed up in one mark
const OPEN_DISKS = 4;   // disk blocks shown open at first (and every system disk)

const page = {
  lang: (navigator.languages || [navigator.language || 'en']).some((l) => String(l).toLowerCase().startsWith('ja'))
    ? 'ja'
    : 'en',
  result: null,
  urls: [],
};
const module = createD88();

function words() {
  return WORDS[page.lang];
}

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) {
    if (key === 'text') node.textContent = value;
    else node.setAttribute(key, value);
  }
  for (const child of children) node.append(child);
  return node;
}

function svgElement(tag, attributes = {}) {
  const node = document.createElementNS('http://www.w3.org/2000/svg', tag);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  return node;
}

// "0, 5-7": a list of track numbers as ranges.
function ranges(values) {
  const out = [];
  for (let i = 0; i < values.length; ) {
    let j = i;
    while (j + 1 < values.length && values[j + 1] === values[j] + 1) ++j;
    out.push(i === j ? `${values[i]}` : `${values[i]}-${values[j]}`);
    i = j + 1;
  }
  return out.join(', ');
}

function blobUrl(bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  page.urls.push(url);
  return url;
}

function copyOut(m, pointer, size) {
  return size > 0 ? m.HEAPU8.slice(pointer, pointer + size) : new Uint8Array(0);
}

// Reads `file` straight into the module's memory, a slice at a time, so a
// large image is held once, not twice.
async function load(m, file) {
  const data = m._malloc(Math.max(file.size, 1));
  if (!data) throw new Error('not enough memory for the image');
  const SLICE = 64 << 20;
  for (let at = 0; at < file.size; at += SLICE) {
    const part = new Uint8Array(await file.slice(at, at + SLICE).arrayBuffer());
    m.HEAPU8.set(part, data + at);
  }
  return data;
}

// Runs the inspection and d88cut on the image.
async function analyse(file) {
  const m = await module;
  const name = file.name;
  const data = await load(m, file);
  const nameSize = m.lengthBytesUTF8(name) + 1;
  const namePointer = m._malloc(nameSize);
  m.stringToUTF8(name, namePointer, nameSize);
  const run = m._d88web_run(data, file.size, namePointer);
  m._free(namePointer);
  m._free(data);
  try {
    if (m._d88web_status(run) === 1) return { name, failed: true };
    const files = [];
    for (let i = 0; i < 7; ++i) {
      const size = m._d88web_fileSize(run, i);
      files.push({ name: m.UTF8ToString(m._d88web_fileName(i)), bytes: size >= 0 ? copyOut(m, m._d88web_file(run, i), size) : null });
    }
    return {
      name,
      status: m._d88web_status(run),
      report: JSON.parse(m.UTF8ToString(m._d88web_report(run))).images[0],
      console: copyOut(m, m._d88web_console(run), m._d88web_consoleSize(run)),
      files,
    };
  } finally {
    m._d88web_free(run);
  }
}

function renderWarning(w) {
  const japanese = (WARNING_TITLES[w.code] || [w.code, w.code])[1];
  const w_ = words();
  let text = w.text;
  if (page.lang === 'ja') {
    const parts = [japanese];
    if (w.tracks.length > 0) parts.push(`${w_.tracksWord(ranges(w.tracks))}、${w_.times(w.count)}`);
    if (w.track !== null) parts.push(w_.first(w.track, w.record));
    text = parts.join('。');
  }
  return element('li', { 'data-code': w.code, title: w.text }, `${text} `, element('code', { text: `[${w.code}]` }));
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
  const rows = [
    [w.offset, `${disk.offset} (0x${disk.offset.toString(16).toUpperCase()})`],
    [w.name, `"${disk.name}"`],
    [w.media, disk.media_type ? `${disk.media_type} (0x${disk.media.toString(16).padStart(2, '0').toUpperCase()})` : `0x${disk.media.toString(16).toUpperCase()}`],
    [w.writeProtect, disk.write_protect ? w.on : w.off],
    [w.size, `${disk.disk_size} ${w.bytes}`],
    [w.geometry, disk.geometry],
    [w.known, disk.known ? w[disk.known] : w.none],
  ];
  return element('table', { class: 'facts' }, ...rows.map(([k, v]) => element('tr', {}, element('th', { text: k }), element('td', { text: v }))));
}

// The seven files: name, size, state and, for each file d88cut wrote, the
// exact bytes it wrote, to download.
function fileTable(disk, result) {
  const w = words();
  const table = element('table', { class: 'files' },
    element('tr', {}, element('th', { text: w.file }), element('th', { text: w.size }), element('th', { text: w.state }), element('th', { text: w.download })));
  const zipped = {};
  for (const f of disk.files) {
    const cut = result.files.find((x) => x.name === f.name);
    let state = w[f.state];
    if (f.state !== 'whole' && f.track !== undefined) {
      state += `: ${w.track} ${f.track} (C ${f.c} H ${f.h} R ${f.r}) ${w[f.why]}`;
    }
    const link = element('td');
    if (f.state !== 'not cut' && cut && cut.bytes) {
      link.append(element('a', { class: 'download', download: f.name, href: blobUrl(cut.bytes, 'application/octet-stream'), text: f.name }));
      zipped[f.name] = cut.bytes;
    }
    const swatch = element('span', { style: `color:${FILE_COLOURS[f.name]}`, text: '■ ' });
    table.append(element('tr', { 'data-file': f.name, 'data-state': f.state },
      element('td', {}, swatch, f.name), element('td', { text: `${f.size}` }), element('td', { class: 'state', text: state }), link));
  }
  const box = element('div', {}, element('h4', { text: w.files }), table);
  if (Object.keys(zipped).length > 0) {
    const zip = fflate.zipSync(zipped, { level: 0, mtime: new Date(1980, 0, 1) });
    box.append(element('p', {}, element('a', { class: 'download', id: 'zip', download: 'd88cut-files.zip', href: blobUrl(zip, 'application/zip'), text: w.zip })));
  }
  return box;
}

function legend(disk) {
  const w = words();
  const box = element('div', { class: 'legend' });
  for (const kind of ['normal', 'deleted', 'error', 'odd-size', 'empty']) {
    box.append(element('span', { style: `--swatch:${CELL_COLOURS[kind]}`, text: w[kind] }));
  }
  for (const f of disk.files) {
    if (f.sectors.length > 0) box.append(element('span', { style: `--swatch:#fff;--edge:${FILE_COLOURS[f.name]}`, text: f.name }));
  }
  return box;
}

// One row per track, one cell per sector in stored order, its width by its
// size; the sectors each file is made of outlined in that file's colour.
function picture(disk) {
  const w = words();
  const ROW = 12, LABEL = 34, SCALE = 1 / 24;
  const byIndex = new Map(disk.tracks.map((t) => [t.track, t]));
  const last = disk.tracks.length ? disk.tracks[disk.tracks.length - 1].track : 0;
  const outlines = new Map();  // "track record" -> the files made of that sector
  for (const f of disk.files) {
    for (const s of f.sectors) {
      if (s.record === null) continue;
      const key = `${s.track} ${s.record}`;
      outlines.set(key, [...(outlines.get(key) || []), f.name]);
    }
  }
  const svg = svgElement('svg', { 'data-disk': disk.number, role: 'img' });
  let width = 0;
  for (let index = 0; index <= last; ++index) {
    const y = index * ROW;
    if (index % 10 === 0) {
      const label = svgElement('text', { x: 0, y: y + ROW - 3 });
      label.textContent = `${index}`;
      svg.append(label);
    }
    let track = byIndex.get(index);
    const title = svgElement('title');
    if (!track || track.offset === null || track.empty || (track.sectors && track.sectors.length === 0)) {
      const row = svgElement('rect', { x: LABEL, y, width: 160, height: ROW - 2, fill: CELL_COLOURS.empty });
      title.textContent = `${w.track} ${index}: ${track && track.empty ? WARNING_TITLES['empty-track'][page.lang === 'ja' ? 1 : 0] : w.empty}`;
      row.append(title);
      svg.append(row);
      width = Math.max(width, LABEL + 160);
      continue;
    }
    let note = '';
    if (track.same_as !== undefined) {
      note = ` (${w.sameAs} ${track.same_as})`;
      track = byIndex.get(track.same_as);
    }
    let x = LABEL;
    const sectors = track.sectors.slice(0, MAX_CELLS);
    sectors.forEach((s, i) => {
      const cellWidth = Math.max(2, s.size * SCALE);
      const kind = s.kind;
      const cell = svgElement('rect', { x, y, width: cellWidth - 1, height: ROW - 2, fill: CELL_COLOURS[kind], 'data-kind': kind });
      const files = outlines.get(`${index} ${i + 1}`) || [];
      const status = s.status ? ` status 0x${s.status.toString(16).toUpperCase()}` : '';
      const tip = svgElement('title');
      tip.textContent = `${w.track} ${index}${note}, ${i + 1}: C ${s.c} H ${s.h} R ${s.r} N ${s.n}, ${s.size} ${w.bytes}, ${w[kind]}${status}${files.length ? ` — ${files.join(', ')}` : ''}`;
      cell.append(tip);
      svg.append(cell);
      files.forEach((name, k) => {
        svg.append(svgElement('rect', {
          x: x + k * 1.5, y: y + k * 1.5, width: Math.max(1, cellWidth - 1 - 3 * k), height: Math.max(1, ROW - 2 - 3 * k),
          fill: 'none', stroke: FILE_COLOURS[name], 'stroke-width': 1.5, 'pointer-events': 'none', 'data-file': name,
        }));
      });
      x += cellWidth;
    });
    if (track.sectors.length > MAX_CELLS) {
      const more = svgElement('text', { x: x + 4, y: y + ROW - 3 });
      more.textContent = `+${track.sectors.length - MAX_CELLS} ${w.more}`;
      svg.append(more);
      x += 90;
    }
    width = Math.max(width, x);
  }
  svg.setAttribute('width', Math.ceil(width + 4));
  svg.setAttribute('height', (last + 1) * ROW);
  svg.setAttribute('viewBox', `0 0 ${Math.ceil(width + 4)} ${(last + 1) * ROW}`);
  return svg;
}

function diskBlock(disk, result, open) {
  const w = words();
  const title = `${w.disk} ${disk.number}` + (disk.media === undefined ? '' : `: "${disk.name}"${disk.known ? ` — ${w[disk.known]}` : ''}`);
  const block = element('details', { class: 'disk', 'data-disk': disk.number }, element('summary', { text: title }));
  if (disk.media === undefined) {
    block.append(renderWarnings(disk.warnings, w.warnings));
    return block;
  }
  block.append(facts(disk));
  if (disk.known === 'system' && disk === lastSystemDisk(result.report)) block.append(fileTable(disk, result));
  block.append(renderWarnings(disk.warnings, w.warnings));
  const map = element('div', { class: 'map' }, element('p', { class: 'private', text: w.picture }), legend(disk));
  block.append(map);
  // The picture is drawn when the block is first opened: a 64-disk image
  // stays quick to show.
  const draw = () => {
    if (!map.querySelector('svg')) map.append(picture(disk));
  };
  block.addEventListener('toggle', () => block.open && draw());
  if (open) {
    block.open = true;
    draw();
  }
  return block;
}

// d88cut writes the files of the last system disk it meets.
function lastSystemDisk(report) {
  return [...report.disks].reverse().find((d) => d.known === 'system');
}

function render() {
  const w = words();
  document.documentElement.lang = page.lang;
  document.getElementById('tagline').textContent = w.tagline;
  document.getElementById('choose').textContent = w.choose;
  document.getElementById('private').textContent = w.private;
  document.getElementById('lang').textContent = w.switchTo;
  const result = page.result;
  if (!result) return;
  for (const url of page.urls) URL.revokeObjectURL(url);
  page.urls = [];
  const report = document.getElementById('report');
  report.replaceChildren();
  if (result.failed) {
    report.append(element('p', { class: 'verdict bad', text: w.cannotRead }));
    return;
  }
  const r = result.report;
  report.append(element('p', { class: r.d88 ? 'verdict' : 'verdict bad', id: 'verdict', text: r.verdict }));
  if (!r.d88) {
    report.append(element('p', { text: w.notD88 }));
    return;
  }
  const said = new TextDecoder('shift_jis').decode(result.console);
  report.append(element('h3', { text: w.cutSays }), element('pre', { class: 'messages', id: 'messages', text: said || w.nothingPrinted }));
  let opened = 0;
  for (const disk of r.disks) {
    const open = disk.known === 'system' || opened < OPEN_DISKS;
    if (open) ++opened;
    report.append(diskBlock(disk, result, open));
  }
  if (r.warnings.length > 0) report.append(renderWarnings(r.warnings, w.imageWarnings));
}

async function take(file) {
  const report = document.getElementById('report');
  report.dataset.image = file.name;
  report.dataset.state = 'working';
  report.replaceChildren(element('p', { text: `${words().working} ${file.name} …` }));
  try {
    page.result = await analyse(file);
  } catch (error) {
    page.result = { name: file.name, failed: true, error: String(error) };
  }
  render();
  report.dataset.state = 'done';
}

document.getElementById('image').addEventListener('change', (event) => {
  if (event.target.files.length > 0) take(event.target.files[0]);
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
  if (event.dataTransfer.files.length > 0) take(event.dataTransfer.files[0]);
});
document.getElementById('lang').addEventListener('click', () => {
  page.lang = page.lang === 'ja' ? 'en' : 'ja';
  render();
});
render();
