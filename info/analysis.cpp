#include "info/analysis.h"

#include <algorithm>
#include <bitset>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "info/text_format.h"

namespace d88info {
namespace {

constexpr int SHORT_TABLE_SIZE = 0x2A0;  // 160 entries, written by some tools
constexpr int SHORT_TABLE_ENTRIES = (SHORT_TABLE_SIZE - 0x20) / 4;
constexpr std::uint32_t UNUSED_ENTRY = 0xFFFFFFFFu;
constexpr int MAX_RANGES_SHOWN = 16;
constexpr int MAX_GEOMETRY_GROUPS = 8;

struct CodeInfo {
  const char* name;
  const char* title;
};

// Titles say what users search for; the first place and any detail follow.
const CodeInfo CODES[CODE_COUNT] = {
    {"trailing-bytes", "bytes after the last disk image"},
    {"more-than-64-disks", "more than 64 disk images"},
    {"header-unreadable", "the disk header cannot be read"},
    {"disk-size-zero", "disk size 0"},
    {"disk-size-below-header", "disk size smaller than the disk header"},
    {"disk-size-negative", "disk size reads as negative"},
    {"disk-size-past-end", "disk size runs past the end of the file"},
    {"media-type-unknown", "unknown media type"},
    {"media-type-mismatch", "media type does not match the tracks"},
    {"name-runs-on", "disk name runs on into the reserved bytes"},
    {"short-track-table", "160-entry track table"},
    {"track-entry-unused-mark", "track-table entry 0xFFFFFFFF (an \"unused\" mark), read as absent"},
    {"track-entry-negative", "track-table entry reads as negative, the track cannot be read"},
    {"track-entry-past-disk", "track-table entry past the disk size, the track cannot be read"},
    {"track-entry-past-32-bits", "track position past the 32-bit range, the track cannot be read"},
    {"track-entry-in-header", "track-table entry points into the disk header"},
    {"shared-track-offset", "tracks at the same offset as an earlier track (analysed once)"},
    {"empty-track", "empty track (first record says 0 sectors)"},
    {"track-at-end-of-file", "track starts at the end of the file, no sector"},
    {"sector-count-too-high", "sector count higher than the sectors the track holds"},
    {"sector-count-varies", "sector count differs from the track's first record"},
    {"zero-count-record", "record says 0 sectors and ends its track early"},
    {"record-cut", "sector record cut by the end of the file"},
    {"duplicate-sector-id", "duplicate sector ID"},
    {"id-track-mismatch", "sector ID (C, H) does not match its track"},
    {"size-code-invalid", "size code N is no sector size"},
    {"data-size-mismatch", "data size differs from the size code (128 << N)"},
    {"deleted-data", "deleted data"},
    {"crc-error", "CRC error"},
    {"sector-status", "FDC error status"},
    {"data-cut", "sector data cut by the end of the file"},
    {"data-past-disk", "sector data runs past the disk size"},
};

const char* MEDIA_TYPES[] = {"2D", "2DD", "2HD", "1D", "1DD"};

const char* mediaTypeName(int media) {
  if (media < 0 || media % 0x10 != 0 || media / 0x10 > 4) return nullptr;
  return MEDIA_TYPES[media / 0x10];
}

bool singleSided(int media) { return media == 0x30 || media == 0x40; }

const char* statusName(int status) {
  switch (status) {
    case 0x10: return "deleted data";
    case 0xA0: return "ID CRC error";
    case 0xB0: return "data CRC error";
    case 0xE0: return "no address mark";
    case 0xF0: return "no data mark";
    default: return "unknown status";
  }
}

// 128 << n, or -1 where that is no size.
std::int64_t nominalSize(int n) { return n >= 0 && n <= 23 ? std::int64_t{128} << n : -1; }

// An FDC status that says something went wrong; 0x10 with the deleted-data
// mark only repeats the mark.
bool errorStatus(int status, int deleted) { return status != 0 && !(status == 0x10 && deleted != 0); }

SectorKind kindOf(const d88::SectorRecord& r) {
  if (errorStatus(r.status, r.deleted)) return SectorKind::ERROR_STATUS;
  if (r.deleted != 0) return SectorKind::DELETED;
  if (r.dataSize != nominalSize(r.n)) return SectorKind::ODD_SIZE;
  return SectorKind::NORMAL;
}

std::string idText(const Sector& s) { return format("C %d H %d R %d N %d", s.c, s.h, s.r, s.n); }

std::string ranges(const std::vector<int>& values) {
  std::string out;
  int shown = 0;
  for (std::size_t i = 0; i < values.size();) {
    std::size_t j = i;
    while (j + 1 < values.size() && values[j + 1] == values[j] + 1) ++j;
    if (shown == MAX_RANGES_SHOWN) {
      out += format(", ... (%zu more tracks)", values.size() - i);
      break;
    }
    if (!out.empty()) out += ", ";
    out += j == i ? format("%d", values[i]) : format("%d-%d", values[i], values[j]);
    ++shown;
    i = j + 1;
  }
  return out;
}

// How often a code was seen on one disk, on which tracks, and its first
// place; filled in the walk without formatting anything.
struct Tally {
  std::int64_t count = 0;
  std::bitset<d88::TRACK_COUNT> tracks;
  int track = -1;
  int record = -1;  // 0-based
  Sector sector{};
  std::int64_t a = 0, b = 0;  // values of the first place
  std::string detail;         // disk-level codes only: said once per disk
};

class Tallies {
 public:
  void note(Code code, int track = -1, int record = -1, const Sector* sector = nullptr, std::int64_t a = 0,
            std::int64_t b = 0) {
    Tally& t = at(code);
    if (t.count++ == 0) {
      t.track = track;
      t.record = record;
      if (sector != nullptr) t.sector = *sector;
      t.a = a;
      t.b = b;
    }
    if (track >= 0 && track < d88::TRACK_COUNT) t.tracks.set(static_cast<std::size_t>(track));
  }
  void noteDetail(Code code, std::string detail, std::int64_t a = 0, std::int64_t b = 0) {
    note(code, -1, -1, nullptr, a, b);
    at(code).detail = std::move(detail);
  }
  Tally& at(Code code) { return tallies_[static_cast<std::size_t>(code)]; }

 private:
  Tally tallies_[CODE_COUNT];
};

std::string plural(std::int64_t n, const char* one, const char* many) {
  return format("%" PRId64 " %s", n, n == 1 ? one : many);
}

// The words of one warning: its title, what was seen where, and its first
// place with what is wrong there.
Warning describe(Code code, const Tally& t) {
  Warning w;
  w.code = code;
  w.count = t.count;
  for (int i = 0; i < d88::TRACK_COUNT; ++i) {
    if (t.tracks.test(static_cast<std::size_t>(i))) w.tracks.push_back(i);
  }
  w.track = t.track;
  w.record = t.record >= 0 ? t.record + 1 : 0;
  const std::string title = CODES[static_cast<int>(code)].title;
  const std::string onTracks = w.tracks.size() == 1 ? "track " + ranges(w.tracks) : "tracks " + ranges(w.tracks);
  const std::string firstRecord = format("track %d record %d (%s)", t.track, t.record + 1, idText(t.sector).c_str());
  auto records = [&](const std::string& what) {
    return title + ": " + plural(t.count, "record", "records") + " on " + onTracks + "; first " + firstRecord + what;
  };
  auto tracks = [&](const std::string& what) { return title + ": " + onTracks + what; };
  switch (code) {
    case Code::TRAILING_BYTES:
    case Code::MORE_THAN_64_DISKS:
    case Code::HEADER_UNREADABLE:
    case Code::DISK_SIZE_ZERO:
    case Code::DISK_SIZE_BELOW_HEADER:
    case Code::DISK_SIZE_NEGATIVE:
    case Code::DISK_SIZE_PAST_END:
    case Code::MEDIA_TYPE_UNKNOWN:
    case Code::MEDIA_TYPE_MISMATCH:
    case Code::NAME_RUNS_ON:
    case Code::SHORT_TRACK_TABLE: w.text = title + (t.detail.empty() ? "" : ": " + t.detail); break;
    case Code::TRACK_ENTRY_UNUSED_MARK:
    case Code::TRACK_ENTRY_NEGATIVE:
    case Code::TRACK_ENTRY_PAST_32_BITS: w.text = tracks(""); break;
    case Code::TRACK_ENTRY_PAST_DISK:
    case Code::TRACK_ENTRY_IN_HEADER:
      w.text = tracks(format("; first track %d, entry 0x%" PRIX64, t.track, static_cast<std::uint64_t>(t.a)));
      break;
    case Code::SHARED_TRACK_OFFSET:
      w.text = tracks(format("; first track %d, at the offset of track %" PRId64 " (entry 0x%" PRIX64 ")", t.track, t.a,
                             static_cast<std::uint64_t>(t.b)));
      break;
    case Code::EMPTY_TRACK:
    case Code::TRACK_AT_END_OF_FILE: w.text = tracks(""); break;
    case Code::SECTOR_COUNT_TOO_HIGH: {
      w.text = tracks(format("; first track %d says %" PRId64 " (0x%04" PRIX64 ") and holds %" PRId64, t.track, t.a,
                             static_cast<std::uint64_t>(t.a), t.b));
      const std::int64_t swapped = ((t.a & 0xFF) << 8) | (t.a >> 8);
      if (swapped == t.b) w.text += format(": stored byte-swapped (0x%04" PRIX64 " is %" PRId64 ")", t.a, swapped);
      break;
    }
    case Code::SECTOR_COUNT_VARIES:
      w.text = records(format(" says %" PRId64 " where its first record says %" PRId64, t.a, t.b));
      break;
    case Code::ZERO_COUNT_RECORD: w.text = records(""); break;
    case Code::RECORD_CUT:
      w.text = title + ": " + onTracks + format("; first track %d record %d", t.track, t.record + 1);
      break;
    case Code::DUPLICATE_SECTOR_ID:
      w.text = records(format(", the same ID as record %" PRId64 ": d88cut reads only the first", t.a + 1));
      break;
    case Code::ID_TRACK_MISMATCH:
      w.text = records(format(", where C %" PRId64 " H %" PRId64 " is usual", t.a, t.b));
      break;
    case Code::SIZE_CODE_INVALID: w.text = records(""); break;
    case Code::DATA_SIZE_MISMATCH:
      w.text = records(format(" holds %" PRId64 " bytes, where N %d means %" PRId64, t.a, t.sector.n, t.b));
      break;
    case Code::DELETED_DATA: w.text = records(format(", mark 0x%02" PRIX64, t.a)); break;
    case Code::CRC_ERROR:
    case Code::SECTOR_STATUS:
      w.text = records(format(", status 0x%02" PRIX64 " (%s)", t.a, statusName(static_cast<int>(t.a))));
      break;
    case Code::DATA_CUT: w.text = records(format(" holds %" PRId64 " of %" PRId64 " bytes", t.a, t.b)); break;
    case Code::DATA_PAST_DISK: w.text = records(""); break;
    case Code::COUNT_: break;
  }
  return w;
}

std::vector<Warning> warningsOf(Tallies& tallies) {
  std::vector<Warning> out;
  for (int i = 0; i < CODE_COUNT; ++i) {
    const Tally& t = tallies.at(static_cast<Code>(i));
    if (t.count > 0) out.push_back(describe(static_cast<Code>(i), t));
  }
  return out;
}

// True when d88cut would recognise one of the indexed disks: whatever the
// first header looks like, such an image is one d88cut works on.
bool anyKnownDisk(d88::D88Image& reader) {
  unsigned char label[LABEL_SECTOR_SIZE];
  for (int i = 0; i < reader.diskCount(); ++i) {
    if (reader.selectDisk(i) && identifyDisk(reader, label) != KnownDisk::None) return true;
  }
  return false;
}

// Why the first header cannot be a D88 disk header, or "" when it can.
std::string notD88Reason(d88::D88Image& reader) {
  const std::int64_t fileSize = reader.fileSize();
  if (fileSize < d88::DISK_HEADER_SIZE) {
    return format("%" PRId64 " bytes, fewer than the %d of a disk header", fileSize, d88::DISK_HEADER_SIZE);
  }
  if (!reader.selectDisk(0)) return "its first disk header cannot be read";
  const std::int64_t diskSize = reader.diskSize();
  std::string reason;
  if (mediaTypeName(reader.mediaType()) == nullptr && (diskSize < d88::DISK_HEADER_SIZE || diskSize > 2 * fileSize)) {
    reason = format(
        "its media byte 0x%02X is none of the five D88 media types, and its disk size %" PRId64 " %s",
        reader.mediaType(), diskSize,
        diskSize < d88::DISK_HEADER_SIZE ? "is smaller than a disk header" : "lies far past the end of the file");
  } else {
    // A real disk has at least one table entry that leads, within the file,
    // to a record with a real size code and a data size that matches it, or
    // to an empty track.
    int entries = 0;
    for (int t = 0; t < d88::TRACK_COUNT; ++t) {
      const std::uint32_t entry = reader.trackEntry(t);
      if (entry == 0) continue;
      ++entries;
      if (entry < 0x20 || entry > static_cast<std::uint32_t>(INT32_MAX)) continue;
      d88::SectorRecord r;
      if (!reader.readRecordAt(entry, r)) continue;
      // Zero bytes are everywhere in other files: an empty track counts
      // only where the header says the disk reaches.
      const bool empty = r.count == 0 && r.dataSize == 0 && r.n == 0 && entry <= diskSize;
      const bool sector = r.n <= 7 && r.count >= 1 && r.dataSize == nominalSize(r.n);
      if (empty || sector) return "";
    }
    if (entries > 0) {
      reason = format("none of its %d track-table entries leads to a sector record", entries);
    } else if (diskSize < d88::DISK_HEADER_SIZE) {
      reason =
          format("its disk size %" PRId64 " is smaller than a disk header, and its track table is empty", diskSize);
    }
  }
  return reason.empty() || anyKnownDisk(reader) ? "" : reason;
}

class DiskInspector {
 public:
  DiskInspector(d88::D88Image& reader, int index, int count) : reader_(reader), index_(index), count_(count) {}

  Disk run() {
    Disk disk;
    disk.number = index_ + 1;
    if (!reader_.selectDisk(index_)) {
      disk.offset = -1;
      tallies_.note(Code::HEADER_UNREADABLE);
      disk.warnings = warningsOf(tallies_);
      return disk;
    }
    disk.headerRead = true;
    disk.offset = reader_.diskOffset();
    disk.size = reader_.diskSize();
    disk.media = reader_.mediaType();
    disk.mediaType = mediaTypeName(disk.media);
    disk.writeProtect = reader_.writeProtect();
    header(disk);
    tracks(disk);
    geometry(disk);
    known(disk);
    disk.warnings = warningsOf(tallies_);
    return disk;
  }

  // Where the disk ends, for the walk over the disks; -1 when its size
  // cannot even cover its own header.
  std::int64_t end() const { return end_; }

 private:
  void header(Disk& disk) {
    unsigned char bytes[0x1A] = {};
    reader_.readBytes(disk.offset, bytes, sizeof bytes);
    std::memcpy(disk.nameBytes, bytes, 16);
    while (disk.nameLength < 16 && bytes[disk.nameLength] != 0) ++disk.nameLength;
    if (disk.nameLength == 16 && bytes[16] != 0) {
      std::string more;
      for (int i = 16; i < 0x1A && bytes[i] != 0; ++i) more += static_cast<char>(bytes[i]);
      tallies_.noteDetail(Code::NAME_RUNS_ON, "\"" + escaped(std::string(reinterpret_cast<const char*>(bytes), 16)) +
                                                  "\" is followed by \"" + escaped(more) + "\"");
    }
    if (disk.mediaType == nullptr) {
      tallies_.noteDetail(Code::MEDIA_TYPE_UNKNOWN, format("0x%02X is none of 2D (0x00), 2DD (0x10), 2HD (0x20), "
                                                           "1D (0x30), 1DD (0x40)",
                                                           disk.media));
    }
    const std::int64_t fileSize = reader_.fileSize();
    const std::int64_t size = disk.size;
    const std::int64_t space = fileSize - disk.offset;
    end_ = size >= d88::DISK_HEADER_SIZE ? disk.offset + size : -1;
    if (size < 0) {
      disk.fit = "reads as negative: the walk over the disks ends here";
      tallies_.noteDetail(Code::DISK_SIZE_NEGATIVE, format("0x%08" PRIX64 ": the walk over the disks ends here",
                                                           static_cast<std::uint64_t>(size) & 0xFFFFFFFFu));
    } else if (index_ + 1 < count_) {
      disk.fit = "the next disk image starts there";
    } else if (size == space) {
      disk.fit = "ends at the end of the file";
    } else if (size > space) {
      disk.fit = format("runs %" PRId64 " bytes past the end of the file", size - space);
    } else {
      disk.fit = format("ends %" PRId64 " bytes before the end of the file", space - size);
    }
    if (size == 0)
      tallies_.noteDetail(Code::DISK_SIZE_ZERO, "the walk over the disks reads this header again and again");
    if (size > 0 && size < d88::DISK_HEADER_SIZE) {
      tallies_.noteDetail(Code::DISK_SIZE_BELOW_HEADER, format("%" PRId64 " bytes", size));
    }
    if (index_ + 1 == count_ && size > space) {
      tallies_.noteDetail(Code::DISK_SIZE_PAST_END,
                          format("by %" PRId64 " bytes: the file is cut short, or the size is wrong", size - space));
    }
  }

  void tracks(Disk& disk) {
    const std::int64_t size = disk.size;
    // Writers with a 160-entry table start the first track at 0x2A0; the
    // last four "entries" are then sector data, and are not looked at.
    std::uint32_t lowest = 0;
    for (int t = 0; t < SHORT_TABLE_ENTRIES; ++t) {
      const std::uint32_t entry = reader_.trackEntry(t);
      if (entry != 0 && entry <= 0x7FFFFFFFu && entry <= size && (lowest == 0 || entry < lowest)) lowest = entry;
    }
    const int tableEntries = lowest == SHORT_TABLE_SIZE ? SHORT_TABLE_ENTRIES : d88::TRACK_COUNT;
    if (tableEntries < d88::TRACK_COUNT) {
      tallies_.noteDetail(Code::SHORT_TRACK_TABLE,
                          format("the first track starts at 0x%X, so entries %d-%d hold sector "
                                 "data and are not read as tracks",
                                 SHORT_TABLE_SIZE, tableEntries, d88::TRACK_COUNT - 1));
    }
    for (int t = 0; t < tableEntries; ++t) {
      const std::uint32_t entry = reader_.trackEntry(t);
      if (entry == 0) continue;
      Track track;
      track.index = t;
      track.entry = entry;
      if (entry == UNUSED_ENTRY) {
        tallies_.note(Code::TRACK_ENTRY_UNUSED_MARK, t);
      } else if (entry > 0x7FFFFFFFu) {
        tallies_.note(Code::TRACK_ENTRY_NEGATIVE, t);
      } else if (entry > size) {
        tallies_.note(Code::TRACK_ENTRY_PAST_DISK, t, -1, nullptr, entry);
      } else if ((track.offset = reader_.trackOffset(t)) < 0) {
        tallies_.note(Code::TRACK_ENTRY_PAST_32_BITS, t);
      } else if (entry < static_cast<std::uint32_t>(d88::DISK_HEADER_SIZE) && entry != SHORT_TABLE_SIZE) {
        tallies_.note(Code::TRACK_ENTRY_IN_HEADER, t, -1, nullptr, entry);
      }
      disk.tracks.push_back(std::move(track));
    }
    // Each readable track ends where the next track in the file starts, or
    // at the disk's end.
    std::vector<std::int64_t> starts;
    for (const Track& t : disk.tracks) {
      if (t.offset >= 0) starts.push_back(t.offset);
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    const std::int64_t diskEnd = size >= d88::DISK_HEADER_SIZE ? disk.offset + size : reader_.fileSize();
    for (std::size_t i = 0; i < disk.tracks.size(); ++i) {
      Track& track = disk.tracks[i];
      if (track.offset < 0) continue;
      for (std::size_t j = 0; j < i; ++j) {
        if (disk.tracks[j].offset == track.offset) {
          track.sameAs = disk.tracks[j].sameAs >= 0 ? disk.tracks[j].sameAs : disk.tracks[j].index;
          tallies_.note(Code::SHARED_TRACK_OFFSET, track.index, -1, nullptr, track.sameAs, track.entry);
          break;
        }
      }
      if (track.sameAs >= 0) continue;
      const auto next = std::upper_bound(starts.begin(), starts.end(), track.offset);
      walk(track, next == starts.end() ? diskEnd : std::min(*next, diskEnd), diskEnd, disk.media);
    }
  }

  // The sectors of one track by the rule in analysis.h, and the faults of
  // each, counted without formatting anything.
  void walk(Track& track, std::int64_t boundary, std::int64_t diskEnd, int media) {
    const int t = track.index;
    const int wantC = singleSided(media) ? t : t / 2;
    const int wantH = singleSided(media) ? 0 : t % 2;
    std::int64_t position = track.offset;
    int firstCount = 0;
    d88::SectorRecord r;
    for (int i = 0;; ++i) {
      if (i > 0 && position >= boundary) break;
      if (!reader_.readRecordAt(position, r)) {
        if (position < reader_.fileSize()) {
          tallies_.note(Code::RECORD_CUT, t, i);
        } else if (i == 0) {
          tallies_.note(Code::TRACK_AT_END_OF_FILE, t);
        }
        break;
      }
      if (r.count == 0) {
        if (i == 0) {
          track.empty = true;
          tallies_.note(Code::EMPTY_TRACK, t);
        } else {
          const Sector s = sectorOf(r);
          tallies_.note(Code::ZERO_COUNT_RECORD, t, i, &s);
        }
        break;
      }
      if (i == 0) firstCount = r.count;
      const Sector s = sectorOf(r);
      track.sectors.push_back(s);
      track.bytes += r.dataSize;
      if (r.count != firstCount) tallies_.note(Code::SECTOR_COUNT_VARIES, t, i, &s, r.count, firstCount);
      const std::int64_t nominal = nominalSize(r.n);
      if (nominal < 0) {
        tallies_.note(Code::SIZE_CODE_INVALID, t, i, &s);
      } else if (r.dataSize != nominal) {
        tallies_.note(Code::DATA_SIZE_MISMATCH, t, i, &s, r.dataSize, nominal);
      }
      if (r.deleted != 0) tallies_.note(Code::DELETED_DATA, t, i, &s, r.deleted);
      if (errorStatus(r.status, r.deleted)) {
        const bool crc = r.status == 0xA0 || r.status == 0xB0;
        tallies_.note(crc ? Code::CRC_ERROR : Code::SECTOR_STATUS, t, i, &s, r.status);
      }
      if (r.c != wantC || r.h != wantH) tallies_.note(Code::ID_TRACK_MISMATCH, t, i, &s, wantC, wantH);
      if (r.dataAvailable < r.dataSize) tallies_.note(Code::DATA_CUT, t, i, &s, r.dataAvailable, r.dataSize);
      if (r.position + d88::SECTOR_RECORD_SIZE + r.dataSize > diskEnd) tallies_.note(Code::DATA_PAST_DISK, t, i, &s);
      position += d88::SECTOR_RECORD_SIZE + r.dataSize;
      if (i == r.count - 1) break;
    }
    if (!track.sectors.empty()) track.layout = layout(track);
    const std::int64_t held = static_cast<std::int64_t>(track.sectors.size());
    if (!track.empty && firstCount > held) tallies_.note(Code::SECTOR_COUNT_TOO_HIGH, t, -1, nullptr, firstCount, held);
    duplicates(track);
  }

  static Sector sectorOf(const d88::SectorRecord& r) {
    return Sector{static_cast<std::uint8_t>(r.c),
                  static_cast<std::uint8_t>(r.h),
                  static_cast<std::uint8_t>(r.r),
                  static_cast<std::uint8_t>(r.n),
                  r.dataSize,
                  static_cast<std::uint16_t>(r.count),
                  static_cast<std::uint8_t>(r.deleted),
                  static_cast<std::uint8_t>(r.status),
                  kindOf(r)};
  }

  // Records with the ID of an earlier record of the track: found by sorting
  // the IDs once, not by looking each one up.
  void duplicates(const Track& track) {
    std::vector<std::pair<std::uint32_t, int>> ids;
    ids.reserve(track.sectors.size());
    for (std::size_t i = 0; i < track.sectors.size(); ++i) {
      const Sector& s = track.sectors[i];
      ids.emplace_back(static_cast<std::uint32_t>(s.c) << 24 | static_cast<std::uint32_t>(s.h) << 16 |
                           static_cast<std::uint32_t>(s.r) << 8 | s.n,
                       static_cast<int>(i));
    }
    std::sort(ids.begin(), ids.end());
    // In each run of one ID the first pair is the record that wins; the
    // others are duplicates.
    int firstDuplicate = -1, original = -1;
    std::int64_t count = 0;
    for (std::size_t g = 0; g < ids.size();) {
      std::size_t h = g + 1;
      while (h < ids.size() && ids[h].first == ids[g].first) ++h;
      count += static_cast<std::int64_t>(h - g - 1);
      if (h - g > 1 && (firstDuplicate < 0 || ids[g + 1].second < firstDuplicate)) {
        firstDuplicate = ids[g + 1].second;
        original = ids[g].second;
      }
      g = h;
    }
    if (count == 0) return;
    const Sector& s = track.sectors[static_cast<std::size_t>(firstDuplicate)];
    for (std::int64_t k = 0; k < count; ++k) {
      tallies_.note(Code::DUPLICATE_SECTOR_ID, track.index, firstDuplicate, &s, original);
    }
  }

  void geometry(Disk& disk) {
    // What each track looks like; a track that shares an offset looks like
    // the track it shares it with, which comes before it.
    std::vector<std::string> looks(disk.tracks.size());
    std::vector<std::int64_t> bytes(disk.tracks.size(), 0);
    int where[d88::TRACK_COUNT];
    int lastUsed = -1;
    std::int64_t largest = 0;
    int largestTrack = -1;
    for (std::size_t i = 0; i < disk.tracks.size(); ++i) {
      const Track& t = disk.tracks[i];
      where[t.index] = static_cast<int>(i);
      if (t.sameAs >= 0) {
        looks[i] = looks[static_cast<std::size_t>(where[t.sameAs])];
        bytes[i] = bytes[static_cast<std::size_t>(where[t.sameAs])];
      } else if (t.offset < 0) {
        looks[i] = "unreadable";
      } else if (t.empty || t.sectors.empty()) {
        looks[i] = "empty";
      } else {
        looks[i] = t.layout;
        bytes[i] = t.bytes;
      }
      if (bytes[i] > 0 || (looks[i] != "empty" && looks[i] != "unreadable")) lastUsed = t.index;
      if (bytes[i] > largest) {
        largest = bytes[i];
        largestTrack = static_cast<int>(i);
      }
    }
    const int sides = singleSided(disk.media) ? 1 : 2;
    std::string out = lastUsed < 0 ? "no formatted track"
                                   : format("%d cylinder%s x %d side%s", lastUsed / sides + 1,
                                            lastUsed / sides ? "s" : "", sides, sides == 1 ? "" : "s");
    int groups = 0;
    for (std::size_t i = 0; i < disk.tracks.size();) {
      std::size_t j = i;
      while (j + 1 < disk.tracks.size() && disk.tracks[j + 1].index == disk.tracks[j].index + 1 &&
             looks[j + 1] == looks[i]) {
        ++j;
      }
      if (groups++ == MAX_GEOMETRY_GROUPS) {
        out += "; ...";
        break;
      }
      const int a = disk.tracks[i].index, b = disk.tracks[j].index;
      out += a == b ? format("; track %d: ", a) : format("; tracks %d-%d: ", a, b);
      out += looks[i];
      i = j + 1;
    }
    disk.geometry = out;
    if (largestTrack >= 0) mediaMismatch(disk, lastUsed + 1, largest, looks[static_cast<std::size_t>(largestTrack)]);
  }

  static std::string layout(const Track& t) {
    std::vector<std::int32_t> sizes;
    for (const Sector& s : t.sectors) sizes.push_back(s.size);
    std::sort(sizes.begin(), sizes.end(), std::greater<std::int32_t>());
    std::string out;
    int kinds = 0;
    for (std::size_t i = 0; i < sizes.size();) {
      std::size_t j = i;
      while (j < sizes.size() && sizes[j] == sizes[i]) ++j;
      if (kinds++ == 3) {
        out += ", ...";
        break;
      }
      out += format("%s%zu x %d", out.empty() ? "" : ", ", j - i, sizes[i]);
      i = j;
    }
    return out + " bytes";
  }

  // A media byte that the tracks contradict: a 2HD track holds 6.5 KB or
  // more, a 2D disk has at most 84 tracks (42 cylinders of 2 sides).
  void mediaMismatch(Disk& disk, int trackCount, std::int64_t largest, const std::string& largestLayout) {
    if (disk.mediaType == nullptr) return;
    const char* looksLike = nullptr;
    if (largest > 6500 && disk.media != 0x20) {
      looksLike = "2HD";
    } else if (largest <= 6500 && disk.media == 0x20 && trackCount <= 84) {
      looksLike = "2D";
    } else if (largest <= 6500 && disk.media == 0x00 && trackCount > 86) {
      looksLike = "2DD";
    }
    if (looksLike == nullptr) return;
    tallies_.noteDetail(
        Code::MEDIA_TYPE_MISMATCH,
        format("the byte says %s (0x%02X), but the tracks look like %s: %s, the fullest holding %s", disk.mediaType,
               disk.media, looksLike, plural(trackCount, "track", "tracks").c_str(), largestLayout.c_str()));
  }

  void known(Disk& disk) {
    unsigned char label[LABEL_SECTOR_SIZE];
    int got = 0;
    const KnownDisk known = identifyDisk(reader_, label, &got);
    disk.labelSector = got > 0;
    if (got > LABEL_OFFSET) {
      disk.label.assign(reinterpret_cast<const char*>(label) + LABEL_OFFSET,
                        static_cast<std::size_t>(std::min(LABEL_SIZE, got - LABEL_OFFSET)));
    }
    disk.known = known == KnownDisk::System ? Known::SYSTEM : known == KnownDisk::Maker ? Known::MAKER : Known::NONE;
    if (disk.known == Known::SYSTEM) {
      disk.files = checkSystemDisk(reader_);
      for (const FileCheck& f : disk.files) {
        std::vector<int> records;
        for (const SectorPlace& place : f.sectors) records.push_back(recordOf(disk, place));
        disk.fileRecords.push_back(std::move(records));
      }
    }
  }

  // Where a lookup finds `place` among the track's sectors, 1-based; a track
  // that shares another's offset holds that track's sectors.
  static int recordOf(const Disk& disk, const SectorPlace& place) {
    int index = place.track;
    for (int hops = 0; hops < 2; ++hops) {
      for (const Track& t : disk.tracks) {
        if (t.index != index) continue;
        if (t.sameAs >= 0) {
          index = t.sameAs;
          break;
        }
        for (std::size_t i = 0; i < t.sectors.size(); ++i) {
          const Sector& s = t.sectors[i];
          if (s.c == place.c && s.h == place.h && s.r == place.r && s.n == SYSTEM_SIZE_CODE) {
            return static_cast<int>(i) + 1;
          }
        }
        return 0;
      }
    }
    return 0;
  }

  d88::D88Image& reader_;
  int index_;
  int count_;
  Tallies tallies_;
  std::int64_t end_ = -1;
};

std::string verdictOf(const Report& report) {
  const std::string path = escaped(report.path);
  if (!report.d88) return path + ": not a D88 image: " + report.notD88;
  const int disks = static_cast<int>(report.disks.size());
  std::string out = path + ": " + plural(disks, "disk", "disks");
  std::string known;
  for (const Disk& d : report.disks) {
    if (d.known == Known::SYSTEM) {
      int whole = 0;
      std::string faults;
      for (const FileCheck& f : d.files) {
        if (f.whole) {
          ++whole;
        } else {
          faults += format("%s%s %s", faults.empty() ? "" : ", ", f.name, f.cut ? "incomplete" : "not cut");
        }
      }
      known += format("; disk %d is the system disk: ", d.number);
      known += whole == OUTPUT_FILE_COUNT ? "d88cut cuts all 7 files whole"
                                          : format("d88cut cuts %d of 7 files whole (%s)", whole, faults.c_str());
    } else if (d.known == Known::MAKER) {
      known += format("; disk %d is the maker disk: d88cut cuts nothing from it", d.number);
    }
  }
  out += known.empty() ? (disks == 1 ? "; no known disk: d88cut cuts nothing from it"
                                     : "; no known disk: d88cut cuts nothing from them")
                       : known;
  std::int64_t warnings = static_cast<std::int64_t>(report.warnings.size());
  for (const Disk& d : report.disks) warnings += static_cast<std::int64_t>(d.warnings.size());
  return out + "; " + plural(warnings, "warning", "warnings");
}

}  // namespace

const char* kindName(SectorKind kind) {
  switch (kind) {
    case SectorKind::ERROR_STATUS: return "error";
    case SectorKind::DELETED: return "deleted";
    case SectorKind::ODD_SIZE: return "odd-size";
    case SectorKind::NORMAL: break;
  }
  return "normal";
}

const char* codeName(Code code) {
  const int i = static_cast<int>(code);
  return i >= 0 && i < CODE_COUNT ? CODES[i].name : "";
}

std::string escaped(const std::string& bytes) {
  std::string out;
  for (const char ch : bytes) {
    const unsigned char byte = static_cast<unsigned char>(ch);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += ch;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += ch;
    } else {
      out += format("\\x%02X", byte);
    }
  }
  return out;
}

Report inspect(d88::D88Image& reader, const std::string& path) {
  Report report;
  report.path = path;
  report.size = reader.fileSize();
  report.notD88 = notD88Reason(reader);
  report.d88 = report.notD88.empty();
  if (report.d88) {
    const int count = reader.diskCount();
    std::int64_t end = 0;
    for (int i = 0; i < count; ++i) {
      DiskInspector inspector(reader, i, count);
      report.disks.push_back(inspector.run());
      end = report.disks.back().headerRead ? inspector.end() : report.size;
    }
    Tallies image;
    if (end < 0) {
      // A disk size smaller than a header has its warning; what follows it
      // cannot be placed.
    } else if (count == d88::MAX_DISKS && report.size - end >= d88::DISK_HEADER_SIZE) {
      image.noteDetail(
          Code::MORE_THAN_64_DISKS,
          format("more disk images follow the 64th, from offset %" PRId64 "; d88cut reads only the first 64", end));
    } else if (end < report.size) {
      image.noteDetail(Code::TRAILING_BYTES, format("%" PRId64 " bytes from offset %" PRId64, report.size - end, end));
    }
    report.warnings = warningsOf(image);
  }
  report.verdict = verdictOf(report);
  return report;
}

}  // namespace d88info
