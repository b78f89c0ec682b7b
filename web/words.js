// The page's words, in English and Japanese: labels, and the sentences that
// word the report's values. English reuses the report's own text where the
// report has one (d88info's wording); Japanese words every value here. No
// fact is worked out here: each function only says what the report holds.
'use strict';

const hex2 = (n) => `0x${Number(n).toString(16).toUpperCase().padStart(2, '0')}`;
const hexN = (n, width) => `0x${Number(n).toString(16).toUpperCase().padStart(width, '0')}`;
const FS_NAMES = { fat12: 'FAT12', 'n88-basic': 'N88-BASIC', 'hu-basic': 'Hu-BASIC', 'f-basic': 'F-BASIC' };
const MEDIA_NAMES = { 0: '2D', 16: '2DD', 32: '2HD', 48: '1D', 64: '1DD' };
const FILE_COUNT = 7;

// "0, 5-7": track numbers as ranges, at most 16 of them (as d88info says them).
function rangeList(values, more) {
  const out = [];
  for (let i = 0; i < values.length;) {
    let j = i;
    while (j + 1 < values.length && values[j + 1] === values[j] + 1) ++j;
    if (out.length === 16) {
      out.push(more(values.length - i));
      break;
    }
    out.push(i === j ? `${values[i]}` : `${values[i]}-${values[j]}`);
    i = j + 1;
  }
  return out.join(', ');
}

// Bytes from hexadecimal text, shown as printable ASCII with \xNN for the rest.
function hexToShown(hex) {
  let out = '';
  for (let i = 0; i + 1 < hex.length; i += 2) {
    const b = parseInt(hex.slice(i, i + 2), 16);
    out += b >= 0x20 && b < 0x7f ? String.fromCharCode(b) : `\\x${hex.slice(i, i + 2)}`;
  }
  return out;
}

function number(n, lang) {
  return Number(n).toLocaleString(lang === 'ja' ? 'ja-JP' : 'en-US');
}

// The values the verdict of an image needs, also kept for each row of a
// collection: its disks, which known disk each is, each file's state.
function summaryOf(report) {
  return {
    path: report.path,
    d88: report.d88,
    error: report.error,
    reason: report.reason,
    notD88: report.not_d88,
    size: report.size,
    outcome: report.outcome,
    verdict: report.verdict,
    warnings: (report.warnings || []).length + (report.disks || []).reduce((n, d) => n + d.warnings.length, 0),
    disks: (report.disks || []).map((d) => ({
      number: d.number,
      known: d.known,
      name: d.name,
      files: (d.files || []).map((f) => ({ name: f.name, state: f.state })),
    })),
  };
}

const WORDS = {
  en: {
    lang: 'en',
    tagline: 'Cuts DRIVER and MUSIC1 to MUSIC6 out of a D88 disk image, and shows what the image holds.',
    choose: 'Choose D88 images or zip archives, or drop them here: ',
    private: 'The images are read here, in this page. Nothing is sent anywhere.',
    switchTo: '日本語',
    switchLabel: 'Show this page in Japanese',
    working: (name) => `Reading ${name} …`,
    progress: (done, all) => `${done} of ${all}`,
    cutSays: 'What d88cut prints',
    nothingPrinted: '(nothing)',
    disk: 'Disk',
    offset: 'Offset',
    name: 'Name',
    media: 'Media',
    unknownMedia: 'unknown',
    writeProtect: 'Write protect',
    on: 'on',
    off: 'off',
    size: 'Size',
    bytes: 'bytes',
    geometry: 'Geometry',
    known: 'Known disk',
    system: 'the system disk',
    maker: 'the maker disk',
    noKnown: 'no known disk',
    files: 'The files d88cut cuts',
    file: 'File',
    state: 'State',
    download: 'Download',
    track: 'track',
    warnings: 'Warnings',
    warningCount: (n) => (n === 1 ? '1 warning' : `${n} warnings`),
    noWarnings: 'No warnings.',
    imageWarnings: 'Warnings about the file',
    picture: 'Sectors, one row per track, in stored order. Choose the picture and use the arrow keys, or tap a sector, to read its details.',
    pictureName: (disk, tracks) => `Sectors of disk ${disk}, ${tracks} tracks`,
    tracksTable: 'The tracks as a table',
    trackCol: 'Track',
    sectorsCol: 'Sectors',
    sizesCol: 'Sizes',
    notesCol: 'Notes',
    normal: 'sector',
    deleted: 'deleted data',
    error: 'CRC or other error status',
    'odd-size': 'size differs from N',
    empty: 'empty or unreadable track',
    missingCell: 'missing sector a file needs',
    cutCell: 'sector a file needs, cut short',
    sameAs: (t) => `same as track ${t}`,
    more: (n) => `+${n} more sectors`,
    cell: (track, i, s, kind, files) =>
      `Track ${track}, record ${i}: C ${s.c} H ${s.h} R ${s.r} N ${s.n}, ${s.size} bytes, ${kind}` +
      (s.status ? `, status ${hex2(s.status)}` : '') + (files.length ? `; in ${files.join(', ')}` : ''),
    missingCellText: (track, p, file) => `Track ${track}: C ${p.c} H ${p.h} R ${p.r} N 3 is missing; ${file} needs it`,
    emptyTrack: (track, empty) => `Track ${track}: ${empty ? 'empty (its first record says 0 sectors)' : 'no sector'}`,
    cutCellText: (file) => `; ${file} needs more bytes than it holds`,
    summary: 'Images',
    summaryImage: 'Image',
    summaryVerdict: 'What d88info says',
    open: (name) => `Show ${name}`,
    outcomeWord: { 'all-whole': 'All files whole', partial: 'Some files not whole', none: 'Nothing cut', 'not-d88': 'Not a D88 image', error: 'Cannot be read' },
    // The result first: did the user get the files?
    result: {
      'all-whole': (d) => `Disk ${d.number} ("${d.name}") is the system disk: d88cut cuts all 7 files whole.`,
      partial: (d, whole) => `Disk ${d.number} ("${d.name}") is the system disk, but only ${whole} of 7 files are cut whole: see the files below.`,
      none: 'No disk in this image is the system disk, so d88cut cuts nothing from it.',
      'not-d88': (reason) => `This file is no D88 image: ${reason}.`,
    },
    several: (n) => `This image holds ${n} system disks. d88cut writes each one's files over the last; the files it leaves are those of the last, and each disk's own files are under it.`,
    leftFiles: 'The files d88cut leaves in the folder:',
    diskFiles: (d) => `Disk ${d.number} ("${d.name}"):`,
    zipOf: (what) => `All of them as ${what}`,
    whyNone: (d, label) => `Disk ${d.number}: ${d.known === 'maker' ? 'the maker disk; d88cut recognises it and cuts nothing from it' : label}.`,
    tryNext: {
      none: 'If this should be the system disk, it may be another disk of the set: try the other images. The label each disk carries is below.',
      'not-d88': 'Choose the disk image itself (.d88, .d77, .88d). If it is inside an archive, choose or drop the archive.',
    },
    // Sentences of the report: d88info's own words.
    verdict: (s) => s.verdict,
    fit: (d) => d.fit.text,
    geometryText: (d) => d.geometry,
    label: (d) => d.label_state.text.replace(/^none; /, ''),
    warning: (w) => w.text,
    fileState: (f) => f.text,
    leftover: (l) =>
      `bytes ${number(l.from, 'en')}–${number(l.to - 1, 'en')} ` +
      (l.sector
        ? `are left over from an earlier read of track ${l.sector.track} (C ${l.sector.c} H ${l.sector.h} R ${l.sector.r})`
        : 'are what the work buffer held before (zero, or what an earlier disk left)'),
    // The disk's own file system.
    diskFilesTitle: (kind, n) => `Files on this disk (${FS_NAMES[kind]}, ${n})`,
    noFileSystem: (why) => `No file system of FAT12, N88-BASIC, Hu-BASIC or F-BASIC found: ${why}.`,
    fsName: 'Name',
    fsType: 'Type',
    fsDate: 'Date',
    fsShow: 'Show in the picture',
    fsZip: (name) => `All files as ${name}`,
    types: { file: 'file', directory: 'folder', ascii: 'ASCII', basic: 'BASIC', machine: 'machine code', data: 'data' },
    fsFlags: { 'read-only': 'read-only', hidden: 'hidden', system: 'system', archive: 'archive', 'write-protect': 'write-protected', verify: 'verify', encrypted: 'encrypted', 'random-access': 'random access' },
    fsWarnings: (n) => (n === 1 ? '1 fault in the file system' : `${n} faults in the file system`),
    // Errors, in plain words.
    errors: {
      tooLarge: (name, limit) => `${name} is larger than this page can take (${limit}). Use the d88cut program for it.`,
      unreadable: (name) => `${name} cannot be read. Is it still there, and readable?`,
      badArchive: (name) => `${name} is a damaged zip archive; nothing in it can be read.`,
      script: (what) => `Something went wrong in this page (${what}). Reload it and try again.`,
      noModule: 'This browser cannot run the page\'s WebAssembly module.',
    },
  },
  ja: {
    lang: 'ja',
    tagline: 'D88 ディスクイメージから DRIVER と MUSIC1〜MUSIC6 を切り出し、イメージの中身を表示します。',
    choose: 'D88 イメージまたは zip アーカイブを選ぶか、ここにドロップしてください: ',
    private: 'イメージはこのページの中で読み込まれます。どこにも送信されません。',
    switchTo: 'English',
    switchLabel: 'このページを英語で表示',
    working: (name) => `${name} を読み込み中…`,
    progress: (done, all) => `${all} 件中 ${done} 件`,
    cutSays: 'd88cut の出力',
    nothingPrinted: '(出力なし)',
    disk: 'ディスク',
    offset: 'オフセット',
    name: '名前',
    media: 'メディア',
    unknownMedia: '不明',
    writeProtect: '書き込み禁止',
    on: 'あり',
    off: 'なし',
    size: 'サイズ',
    bytes: 'バイト',
    geometry: 'ジオメトリ',
    known: '既知のディスク',
    system: 'システムディスク',
    maker: 'メーカーディスク',
    noKnown: '既知のディスクではありません',
    files: 'd88cut が切り出すファイル',
    file: 'ファイル',
    state: '状態',
    download: 'ダウンロード',
    track: 'トラック',
    warnings: '警告',
    warningCount: (n) => `警告 ${n} 件`,
    noWarnings: '警告はありません。',
    imageWarnings: 'ファイルについての警告',
    picture: 'セクタ（1 行が 1 トラック、格納順）。図を選んで矢印キーを使うか、セクタをタップすると詳細を表示します。',
    pictureName: (disk, tracks) => `ディスク ${disk} のセクタ、${tracks} トラック`,
    tracksTable: 'トラックの一覧（表）',
    trackCol: 'トラック',
    sectorsCol: 'セクタ数',
    sizesCol: 'サイズ',
    notesCol: '備考',
    normal: 'セクタ',
    deleted: '削除データ',
    error: 'CRC エラーなどのステータス',
    'odd-size': 'N と異なるサイズ',
    empty: '空または読めないトラック',
    missingCell: 'ファイルに必要なのにないセクタ',
    cutCell: 'ファイルに必要なのに短いセクタ',
    sameAs: (t) => `トラック ${t} と同じ位置`,
    more: (n) => `ほか ${n} セクタ`,
    cell: (track, i, s, kind, files) =>
      `トラック ${track}、レコード ${i}: C ${s.c} H ${s.h} R ${s.r} N ${s.n}、${s.size} バイト、${kind}` +
      (s.status ? `、ステータス ${hex2(s.status)}` : '') + (files.length ? `。${files.join('、')} に使われます` : ''),
    missingCellText: (track, p, file) => `トラック ${track}: C ${p.c} H ${p.h} R ${p.r} N 3 がありません。${file} に必要です`,
    emptyTrack: (track, empty) => `トラック ${track}: ${empty ? '空（最初のレコードのセクタ数が 0）' : 'セクタなし'}`,
    cutCellText: (file) => `。${file} に必要なバイト数より短いです`,
    summary: 'イメージ',
    summaryImage: 'イメージ',
    summaryVerdict: 'd88info の判定',
    open: (name) => `${name} を表示`,
    outcomeWord: { 'all-whole': 'すべて完全', partial: '一部が不完全', none: '切り出しなし', 'not-d88': 'D88 ではありません', error: '読み込めません' },
    result: {
      'all-whole': (d) => `ディスク ${d.number}（「${d.name}」）がシステムディスクです。d88cut は 7 つのファイルすべてを完全に切り出します。`,
      partial: (d, whole) => `ディスク ${d.number}（「${d.name}」）がシステムディスクですが、完全に切り出せるのは 7 つのうち ${whole} つだけです。下のファイルの一覧を見てください。`,
      none: 'このイメージにはシステムディスクがないため、d88cut は何も切り出しません。',
      'not-d88': (reason) => `このファイルは D88 イメージではありません: ${reason}。`,
    },
    several: (n) => `このイメージにはシステムディスクが ${n} 枚あります。d88cut は後のディスクのファイルで上書きするため、フォルダに残るのは最後のディスクのファイルです。各ディスクのファイルはそれぞれの下にあります。`,
    leftFiles: 'd88cut がフォルダに残すファイル:',
    diskFiles: (d) => `ディスク ${d.number}（「${d.name}」）:`,
    zipOf: (what) => `すべてを ${what} で`,
    whyNone: (d, label) => `ディスク ${d.number}: ${d.known === 'maker' ? 'メーカーディスクです。d88cut はこれを認識しますが、何も切り出しません' : label}。`,
    tryNext: {
      none: 'システムディスクのはずなら、セットの別のディスクかもしれません。ほかのイメージも試してください。各ディスクのラベルは下にあります。',
      'not-d88': 'ディスクイメージそのもの（.d88、.d77、.88d）を選んでください。アーカイブの中にある場合は、アーカイブを選ぶかドロップしてください。',
    },
    verdict: (s) => {
      if (s.error) return `${s.path}: 読み込めません: ${s.error}`;
      if (!s.d88) return `${s.path}: D88 イメージではありません: ${WORDS.ja.notD88(s)}`;
      const parts = [];
      for (const d of s.disks) {
        if (d.known === 'system') {
          const bad = d.files.filter((f) => f.state !== 'whole');
          parts.push(bad.length === 0
            ? `ディスク ${d.number} はシステムディスク: 7 つのファイルすべてを完全に切り出せます`
            : `ディスク ${d.number} はシステムディスク: 7 つのうち ${FILE_COUNT - bad.length} つを完全に切り出せます（${bad.map((f) => `${f.name} ${WORDS.ja.states[f.state]}`).join('、')}）`);
        } else if (d.known === 'maker') {
          parts.push(`ディスク ${d.number} はメーカーディスク: 何も切り出しません`);
        }
      }
      if (parts.length === 0) parts.push('既知のディスクはありません: 何も切り出しません');
      return `${s.path}: ディスク ${s.disks.length} 枚。${parts.join('。')}。警告 ${s.warnings} 件`;
    },
    states: { whole: '完全', incomplete: '不完全', 'not cut': '切り出せません' },
    notD88: (s) => {
      const n = s.notD88;
      switch (n.kind) {
        case 'too-short': return `${s.size} バイトしかなく、ディスクヘッダの 688 バイトに足りません`;
        case 'header-unreadable': return '最初のディスクヘッダを読めません';
        case 'media-and-size':
          return `メディアバイト ${hex2(n.media)} は D88 の 5 種類のメディアタイプのどれでもなく、ディスクサイズ ${n.disk_size} は${n.disk_size < 688 ? 'ディスクヘッダより小さい値です' : 'ファイルの終わりをはるかに越えています'}`;
        case 'nothing-leads': return `トラックテーブルの ${n.entries} 個の値のどれもセクタレコードを指していません`;
        default:
          return n.disk_size < 688
            ? `ディスクサイズ ${n.disk_size} がディスクヘッダより小さく、トラックテーブルが空です`
            : `トラックテーブルが空で、ディスクサイズ ${n.disk_size} がファイルの大きさ（${s.size} バイト）と一致しません`;
      }
    },
    fit: (d) => {
      const b = d.fit.bytes;
      switch (d.fit.kind) {
        case 'negative': return b === null ? '負の値として読まれます。ディスクの走査はここで終わります' : `負の値として読まれます。走査は戻って、オフセット ${b} のヘッダを次に読みます`;
        case 'next-disk': return '次のディスクイメージがそこから始まります';
        case 'at-end': return 'ファイルの終わりで終わります';
        case 'past-end': return `ファイルの終わりを ${b} バイト越えています`;
        default: return `ファイルの終わりの ${b} バイト手前で終わります`;
      }
    },
    layout: (layout) => {
      const parts = layout.slice(0, 3).map((l) => `${l.count} × ${l.size}`);
      return `${parts.join('、')}${layout.length > 3 ? '、…' : ''} バイト`;
    },
    geometryText: (d) => {
      let out = d.cylinders === 0 ? 'フォーマット済みのトラックなし' : `${d.cylinders} シリンダ × ${d.sides} 面`;
      if (d.even_slots) out += '（偶数番のトラック位置のみ）';
      for (const g of d.geometry_groups) {
        const what = g.kind === 'sectors' ? WORDS.ja.layout(g.layout) : g.kind === 'empty' ? '空' : '読めません';
        out += `、トラック ${g.first === g.last ? g.first : `${g.first}-${g.last}`}: ${what}`;
      }
      if (d.geometry_more) out += '、…';
      return out;
    },
    label: (d) => {
      const l = d.label_state;
      switch (l.kind) {
        case 'no-sector': return 'トラック 0 にラベルのセクタ（C 0 H 0 R 1 N 1）がありません';
        case 'too-short': return 'ラベルのセクタが短すぎて、ラベルを持てません';
        case 'uniform': return `ラベルのバイトがすべて ${hex2(l.byte)} です${l.byte === 0xe5 ? '（フォーマット後、一度も書かれていません）' : ''}`;
        case 'text': return `ラベルのバイトは "${hexToShown(l.label_hex)}" です`;
        default: return '';
      }
    },
    warning: (w) => {
      const v = w.values;
      const id = v.id ? `（C ${v.id.c} H ${v.id.h} R ${v.id.r} N ${v.id.n}）` : '';
      const tracks = `トラック ${rangeList(w.tracks, (n) => `…（ほか ${n} トラック）`)}`;
      const title = WARNING_TITLES_JA[w.code] || w.code;
      const records = (what) => `${title}: ${tracks} の ${w.count} 個のレコード。最初はトラック ${w.track} のレコード ${w.record}${id}${what}`;
      const onTracks = (what) => `${title}: ${tracks}${what}`;
      const detail = (what) => `${title}: ${what}`;
      switch (w.code) {
        case 'trailing-bytes': return detail(`オフセット ${v.offset} から ${v.bytes} バイト`);
        case 'more-than-64-disks': return detail(`64 枚目の後、オフセット ${v.offset} からさらにディスクイメージが続きます。d88cut は最初の 64 枚だけを読みます`);
        case 'disk-size-negative':
          return detail(`ディスク ${rangeList(v.disks, (n) => `…（ほか ${n} 枚）`)}。最初はディスク ${v.disks[0]}（${hexN(v.disk_size, 8)}）: ${v.next_offset < 0 ? '走査はここで終わります' : `走査は戻って、オフセット ${v.next_offset} のヘッダを次に読みます`}`);
        case 'header-unreadable': return title;
        case 'disk-size-zero': return detail('走査は同じヘッダを繰り返し読みます');
        case 'disk-size-below-header': return detail(`${v.disk_size} バイト`);
        case 'disk-size-past-end': return detail(`${v.bytes_past_end} バイト越えています。ファイルが途中で切れているか、サイズが誤っています`);
        case 'media-type-unknown': return detail(`${hex2(v.media)} は 2D (0x00)、2DD (0x10)、2HD (0x20)、1D (0x30)、1DD (0x40) のどれでもありません`);
        case 'media-type-mismatch':
          return detail(`値は ${MEDIA_NAMES[v.media] || '不明'}（${hex2(v.media)}）ですが、トラックは ${v.looks_like} のようです。${v.tracks} トラックで、最も多いトラックは ${WORDS.ja.layout(v.fullest_track)}`);
        case 'name-runs-on': return detail(`"${hexToShown(v.name_hex)}" の後に "${hexToShown(v.following_hex)}" が続きます`);
        case 'short-track-table': return detail(`最初のトラックが ${hexN(v.first_track_offset, 3)} から始まるため、エントリ 160-163 はセクタデータで、トラックとしては読みません`);
        case 'track-entry-past-disk':
        case 'track-entry-in-header': return onTracks(`。最初はトラック ${w.track}、値 ${hexN(v.entry, 1)}`);
        case 'shared-track-offset': return onTracks(`。最初はトラック ${w.track}、トラック ${v.same_as_track} と同じ位置（値 ${hexN(v.entry, 1)}）`);
        case 'sector-count-too-high': {
          const swapped = ((v.says & 0xff) << 8) | (v.says >> 8);
          return onTracks(`。最初はトラック ${w.track}: セクタ数 ${v.says}（${hexN(v.says, 4)}）と書かれていますが、${v.holds} 個です${swapped === v.holds ? `。バイト順が逆に格納されています（${hexN(v.says, 4)} は ${swapped}）` : ''}`);
        }
        case 'sector-count-varies': return records(`。セクタ数 ${v.says} と書かれ、最初のレコードは ${v.first_record_says} です`);
        case 'record-cut': return onTracks(`。最初はトラック ${w.track} のレコード ${w.record}`);
        case 'duplicate-sector-id': return records(`。レコード ${v.same_as_record} と同じ ID です。d88cut は最初のものだけを読みます`);
        case 'id-track-mismatch': return records(`。通常は C ${v.usual_c} H ${v.usual_h} です`);
        case 'data-size-mismatch': return records(`。${v.data_size} バイトあり、N ${v.id.n} は ${v.nominal_size} バイトを意味します`);
        case 'deleted-data': return records(`。マーク ${hex2(v.mark)}`);
        case 'crc-error':
        case 'sector-status': return records(`。ステータス ${hex2(v.status)}（${STATUS_JA[v.status] || '不明なステータス'}）`);
        case 'data-cut': return records(`。${v.of} バイト中 ${v.holds} バイトしかありません`);
        default:
          return w.record ? records('') : w.track !== null ? onTracks(`。最初はトラック ${w.track}`) : title;
      }
    },
    fileState: (f) => {
      const state = WORDS.ja.states[f.state];
      if (f.state === 'whole' || f.track === undefined) return state;
      return `${state}: トラック ${f.track}（C ${f.c} H ${f.h} R ${f.r}）${f.why === 'missing' ? 'がありません' : 'が短すぎます'}`;
    },
    leftover: (l) =>
      `${number(l.from, 'ja')}–${number(l.to - 1, 'ja')} バイト目は` +
      (l.sector
        ? `、前に読んだトラック ${l.sector.track}（C ${l.sector.c} H ${l.sector.h} R ${l.sector.r}）の残りです`
        : '、作業バッファに前から入っていたもの（ゼロ、または前のディスクの残り）です'),
    diskFilesTitle: (kind, n) => `このディスクのファイル（${FS_NAMES[kind]}、${n} 件）`,
    noFileSystem: () => 'FAT12、N88-BASIC、Hu-BASIC、F-BASIC のどのファイルシステムも見つかりません。',
    fsName: '名前',
    fsType: '種類',
    fsDate: '日付',
    fsShow: '図で表示',
    fsZip: (name) => `すべてを ${name} で`,
    types: { file: 'ファイル', directory: 'フォルダ', ascii: 'アスキー', basic: 'BASIC', machine: '機械語', data: 'データ' },
    fsFlags: { 'read-only': '読み取り専用', hidden: '隠し', system: 'システム', archive: 'アーカイブ', 'write-protect': '書き込み禁止', verify: 'ベリファイ', encrypted: '暗号化', 'random-access': 'ランダムアクセス' },
    fsWarnings: (n) => `ファイルシステムの異常 ${n} 件`,
    errors: {
      tooLarge: (name, limit) => `${name} は、このページで扱える大きさ（${limit}）を超えています。d88cut プログラムを使ってください。`,
      unreadable: (name) => `${name} を読み込めません。ファイルがまだあり、読める状態か確かめてください。`,
      badArchive: (name) => `${name} は壊れた zip アーカイブです。中身を読めません。`,
      script: (what) => `このページでエラーが起きました（${what}）。ページを再読み込みして、もう一度試してください。`,
      noModule: 'このブラウザでは、このページの WebAssembly モジュールを実行できません。',
    },
  },
};

const STATUS_JA = { 0x10: '削除データ', 0xa0: 'ID の CRC エラー', 0xb0: 'データの CRC エラー', 0xe0: 'アドレスマークなし', 0xf0: 'データマークなし' };

// Warning titles by code, in Japanese; English comes whole from the report.
// The code table of the inspection, the manual page and the schema list the
// same codes (a test checks it).
const WARNING_TITLES_JA = {
  'trailing-bytes': '最後のディスクイメージの後に余分なバイト',
  'more-than-64-disks': '64 枚を超えるディスクイメージ',
  'disk-size-negative': 'ディスクサイズが負の値',
  'header-unreadable': 'ディスクヘッダを読めません',
  'disk-size-zero': 'ディスクサイズが 0',
  'disk-size-below-header': 'ディスクサイズがヘッダより小さい',
  'disk-size-past-end': 'ディスクサイズがファイルの終わりを越えています',
  'media-type-unknown': '不明なメディアタイプ',
  'media-type-mismatch': 'メディアタイプがトラックの内容と一致しません',
  'name-runs-on': 'ディスク名が予約領域まで続いています',
  'short-track-table': '160 エントリのトラックテーブル',
  'track-entry-unused-mark': 'トラックテーブルの値 0xFFFFFFFF（未使用の印）。トラックなしとして扱います',
  'track-entry-negative': 'トラックテーブルの値が負のため、トラックを読めません',
  'track-entry-past-disk': 'トラックテーブルの値がディスクサイズを越えているため、トラックを読めません',
  'track-entry-past-32-bits': 'トラック位置が 32 ビットの範囲を越えているため、トラックを読めません',
  'track-entry-in-header': 'トラックテーブルの値がディスクヘッダの中を指しています',
  'shared-track-offset': '前のトラックと同じ位置のトラック（一度だけ解析）',
  'empty-track': '空のトラック（最初のレコードのセクタ数が 0）',
  'track-at-end-of-file': 'トラックがファイルの終わりから始まっています（セクタなし）',
  'sector-count-too-high': 'セクタ数がトラック内の実際のセクタより多い',
  'sector-count-varies': 'セクタ数がトラックの最初のレコードと異なります',
  'zero-count-record': 'セクタ数 0 のレコードでトラックが途中で終わっています',
  'record-cut': 'セクタレコードがファイルの終わりで切れています',
  'duplicate-sector-id': '重複したセクタ ID',
  'id-track-mismatch': 'セクタ ID の C・H がトラックと一致しません',
  'size-code-invalid': 'サイズコード N がセクタサイズになりません',
  'data-size-mismatch': 'データサイズがサイズコード（128 << N）と異なります',
  'deleted-data': '削除データ',
  'crc-error': 'CRC エラー',
  'sector-status': 'FDC エラーステータス',
  'data-cut': 'セクタデータがファイルの終わりで切れています',
  'data-past-disk': 'セクタデータがディスクサイズを越えています',
};
