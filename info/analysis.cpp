#include "info/analysis.h"

#include <algorithm>
#include <bitset>
#include <climits>
#include <cstring>

namespace d88info {
namespace {

constexpr std::uint32_t SHORT_TABLE_SIZE = 0x2A0;  // 160 entries, written by some tools
constexpr int SHORT_TABLE_ENTRIES = (SHORT_TABLE_SIZE - 0x20) / 4;
constexpr std::uint32_t UNUSED_ENTRY = 0xFFFFFFFFu;
constexpr int MAX_GEOMETRY_GROUPS = 8;
// A track of a high-density (2HD) disk holds more than this many data
// bytes; a 2D or 2DD track, at half the data rate, never does.
constexpr std::int64_t HIGH_DENSITY_TRACK = 6500;
// The most tracks a 2D disk has (42 cylinders of 2 sides), and the fewest a
// 2DD disk has.
constexpr int MAX_2D_TRACKS = 84;
constexpr int MIN_2DD_TRACKS = 87;
// More sectors than any track of these disks holds: a count above it is no
// count a writer meant.
constexpr int MAX_SECTORS_PER_TRACK = 64;

// An FDC status that says something went wrong; 0x10 with the deleted-data
// mark only repeats the mark.
bool errorStatus(int status, int deleted) { return status != 0 && !(status == 0x10 && deleted != 0); }

SectorKind kindOf(const d88::SectorRecord& r) {
  if (errorStatus(r.status, r.deleted)) return SectorKind::ERROR_STATUS;
  if (r.deleted != 0) return SectorKind::DELETED;
  if (r.dataSize != d88::nominalSectorSize(r.n)) return SectorKind::ODD_SIZE;
  return SectorKind::NORMAL;
}

Sector sectorOf(const d88::SectorRecord& r) {
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

// How often a code was seen on one disk, on which tracks, and its first
// place with its values; filled in the walk.
struct Tally {
  std::bitset<d88::TRACK_COUNT> tracks;
  Warning first;
};

class Tallies {
 public:
  // Counts `code` at `track` (record `record`, 0-based); the first time it
  // is seen, its place and values are kept.
  Warning* note(Code code, int track = -1, int record = -1, const Sector* sector = nullptr, std::int64_t a = 0,
                std::int64_t b = 0) {
    Tally& t = tallies_[static_cast<std::size_t>(code)];
    if (track >= 0 && track < d88::TRACK_COUNT) t.tracks.set(static_cast<std::size_t>(track));
    if (t.first.count++ > 0) return nullptr;
    t.first.code = code;
    t.first.track = track;
    t.first.record = record >= 0 ? record + 1 : 0;
    if (sector != nullptr) {
      t.first.hasSector = true;
      t.first.sector = *sector;
    }
    t.first.a = a;
    t.first.b = b;
    return &t.first;
  }

  std::vector<Warning> warnings() const {
    std::vector<Warning> out;
    for (const Tally& t : tallies_) {
      if (t.first.count == 0) continue;
      out.push_back(t.first);
      for (int i = 0; i < d88::TRACK_COUNT; ++i) {
        if (t.tracks.test(static_cast<std::size_t>(i))) out.back().tracks.push_back(i);
      }
    }
    return out;
  }

 private:
  Tally tallies_[CODE_COUNT];
};

std::vector<SizeCount> layoutOf(const std::vector<Sector>& sectors) {
  std::vector<std::int32_t> sizes;
  sizes.reserve(sectors.size());
  for (const Sector& s : sectors) sizes.push_back(s.size);
  std::sort(sizes.begin(), sizes.end(), std::greater<std::int32_t>());
  std::vector<SizeCount> out;
  for (std::size_t i = 0; i < sizes.size();) {
    std::size_t j = i;
    while (j < sizes.size() && sizes[j] == sizes[i]) ++j;
    out.push_back({static_cast<int>(j - i), sizes[i]});
    i = j;
  }
  return out;
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
      disk.warnings = tallies_.warnings();
      return disk;
    }
    disk.headerRead = true;
    disk.offset = reader_.diskOffset();
    disk.size = reader_.diskSize();
    disk.media = reader_.mediaType();
    disk.mediaType = d88::mediaTypeName(disk.media);
    disk.writeProtect = reader_.writeProtect();
    header(disk);
    tracks(disk);
    geometry(disk);
    known(disk);
    disk.filesystem = d88fs::listFiles(reader_);
    disk.warnings = tallies_.warnings();
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
      Warning* w = tallies_.note(Code::NAME_RUNS_ON);
      w->name.assign(reinterpret_cast<const char*>(bytes), 16);
      for (int i = 16; i < 0x1A && bytes[i] != 0; ++i) w->bytes += static_cast<char>(bytes[i]);
    }
    if (disk.mediaType == nullptr) tallies_.note(Code::MEDIA_TYPE_UNKNOWN, -1, -1, nullptr, disk.media);
    const std::int64_t fileSize = reader_.fileSize();
    const std::int64_t size = disk.size;
    const std::int64_t space = fileSize - disk.offset;
    end_ = size >= d88::DISK_HEADER_SIZE ? disk.offset + size : -1;
    if (size < 0) {
      // The reader's walk adds the size as it reads: it goes back in the
      // file, unless that is before its start.
      disk.fit = Fit::NEGATIVE;
      disk.fitBytes = disk.offset + size >= 0 ? disk.offset + size : -1;
    } else if (index_ + 1 < count_) {
      disk.fit = Fit::NEXT_DISK;
    } else if (size == space) {
      disk.fit = Fit::AT_END;
    } else if (size > space) {
      disk.fit = Fit::PAST_END;
      disk.fitBytes = size - space;
    } else {
      disk.fit = Fit::BEFORE_END;
      disk.fitBytes = space - size;
    }
    if (size == 0) tallies_.note(Code::DISK_SIZE_ZERO);
    if (size > 0 && size < d88::DISK_HEADER_SIZE) tallies_.note(Code::DISK_SIZE_BELOW_HEADER, -1, -1, nullptr, size);
    if (index_ + 1 == count_ && size > space) {
      tallies_.note(Code::DISK_SIZE_PAST_END, -1, -1, nullptr, size - space);
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
    if (tableEntries < d88::TRACK_COUNT) tallies_.note(Code::SHORT_TRACK_TABLE, -1, -1, nullptr, SHORT_TABLE_SIZE);
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
    // On single-sided media a track stands at C = slot, or, where every
    // track stands on an even slot (as one emulator lays them out), at
    // C = slot / 2.
    if (d88::singleSidedMedia(disk.media) && !disk.tracks.empty()) {
      disk.geometry.evenSlots =
          std::all_of(disk.tracks.begin(), disk.tracks.end(), [](const Track& t) { return t.index % 2 == 0; });
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
      walk(disk, track, next == starts.end() ? diskEnd : std::min(*next, diskEnd), diskEnd);
    }
  }

  // The sectors of one track by the rule in analysis.h, and the faults of
  // each.
  void walk(const Disk& disk, Track& track, std::int64_t boundary, std::int64_t diskEnd) {
    const int t = track.index;
    const bool single = d88::singleSidedMedia(disk.media);
    const int wantC = single ? (disk.geometry.evenSlots ? t / 2 : t) : t / 2;
    const int wantH = single ? 0 : t % 2;
    int firstCount = 0;
    const d88::WalkResult result =
        reader_.walkTrack(t, d88::TrackWalk::LOOKUP, INT_MAX, [&](const d88::SectorRecord& r, int i) {
          if (i > 0 && r.position >= boundary) return true;
          if (i == 0) firstCount = r.count;
          const Sector s = sectorOf(r);
          track.sectors.push_back(s);
          track.bytes += r.dataSize;
          if (r.count != firstCount) tallies_.note(Code::SECTOR_COUNT_VARIES, t, i, &s, r.count, firstCount);
          const int nominal = d88::nominalSectorSize(r.n);
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
          if (r.position + d88::SECTOR_RECORD_SIZE + r.dataSize > diskEnd) {
            tallies_.note(Code::DATA_PAST_DISK, t, i, &s);
          }
          return false;
        });
    const int visited = static_cast<int>(track.sectors.size());
    switch (result.end) {
      case d88::WalkEnd::ZERO_COUNT:
        if (visited == 0) {
          track.empty = true;
          tallies_.note(Code::EMPTY_TRACK, t);
        } else if (result.zeroCount.position < boundary) {
          const Sector s = sectorOf(result.zeroCount);
          tallies_.note(Code::ZERO_COUNT_RECORD, t, visited, &s);
        }
        break;
      case d88::WalkEnd::CUT_RECORD:
        if (visited == 0 || result.next < boundary) tallies_.note(Code::RECORD_CUT, t, visited);
        break;
      case d88::WalkEnd::END_OF_FILE:
        if (visited == 0) tallies_.note(Code::TRACK_AT_END_OF_FILE, t);
        break;
      default: break;
    }
    track.layout = layoutOf(track.sectors);
    // A track the end of the file cuts short is judged by what it says it
    // holds: its first record's count of sectors of its first size.
    const bool cutByTheEnd = result.end == d88::WalkEnd::CUT_RECORD || result.end == d88::WalkEnd::END_OF_FILE ||
                             (visited > 0 && track.sectors.back().size > 0 && result.next > reader_.fileSize());
    if (cutByTheEnd && visited > 0 && visited < firstCount && firstCount <= MAX_SECTORS_PER_TRACK) {
      capacity_ = std::max(capacity_, std::int64_t{firstCount} * track.sectors.front().size);
    }
    const std::int64_t held = visited;
    if (!track.empty && firstCount > held) tallies_.note(Code::SECTOR_COUNT_TOO_HIGH, t, -1, nullptr, firstCount, held);
    duplicates(track);
  }

  // Records with the ID of an earlier record of the track: found by sorting
  // the IDs once, not by looking each one up.
  void duplicates(const Track& track) {
    std::vector<std::pair<std::uint32_t, int>> ids;
    ids.reserve(track.sectors.size());
    for (std::size_t i = 0; i < track.sectors.size(); ++i) {
      const Sector& s = track.sectors[i];
      ids.emplace_back(d88::sectorIdKey(s.c, s.h, s.r, s.n), static_cast<int>(i));
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
      tallies_.note(Code::DUPLICATE_SECTOR_ID, track.index, firstDuplicate, &s, original + 1);
    }
  }

  void geometry(Disk& disk) {
    // What each track looks like; a track that shares an offset looks like
    // the track it shares it with, which comes before it.
    struct Look {
      GeometryGroup::Kind kind;
      const std::vector<SizeCount>* layout;
      std::int64_t bytes;
      bool operator==(const Look& o) const {
        return kind == o.kind && (kind != GeometryGroup::SECTORS || *layout == *o.layout);
      }
    };
    std::vector<Look> looks(disk.tracks.size());
    int where[d88::TRACK_COUNT];
    int lastUsed = -1, tableTracks = 0;
    std::int64_t largest = 0;
    int largestTrack = -1;
    for (std::size_t i = 0; i < disk.tracks.size(); ++i) {
      const Track& t = disk.tracks[i];
      where[t.index] = static_cast<int>(i);
      if (t.sameAs >= 0) {
        looks[i] = looks[static_cast<std::size_t>(where[t.sameAs])];
      } else if (t.offset < 0) {
        looks[i] = {GeometryGroup::UNREADABLE, nullptr, 0};
      } else if (t.empty || t.sectors.empty()) {
        looks[i] = {GeometryGroup::EMPTY, nullptr, 0};
      } else {
        looks[i] = {GeometryGroup::SECTORS, &t.layout, t.bytes};
      }
      if (looks[i].kind == GeometryGroup::SECTORS || looks[i].bytes > 0) lastUsed = t.index;
      if (t.offset >= 0) tableTracks = t.index + 1;
      if (looks[i].bytes > largest) {
        largest = looks[i].bytes;
        largestTrack = static_cast<int>(i);
      }
    }
    Geometry& g = disk.geometry;
    const bool single = d88::singleSidedMedia(disk.media);
    g.sides = single ? 1 : 2;
    const int perCylinder = single && !g.evenSlots ? 1 : 2;
    g.cylinders = lastUsed < 0 ? 0 : lastUsed / perCylinder + 1;
    const int step = g.evenSlots ? 2 : 1;
    for (std::size_t i = 0; i < disk.tracks.size();) {
      std::size_t j = i;
      while (j + 1 < disk.tracks.size() && disk.tracks[j + 1].index == disk.tracks[j].index + step &&
             looks[j + 1] == looks[i]) {
        ++j;
      }
      if (static_cast<int>(g.groups.size()) == MAX_GEOMETRY_GROUPS) {
        g.more = true;
        break;
      }
      GeometryGroup group{disk.tracks[i].index, disk.tracks[j].index, step, looks[i].kind, {}};
      if (looks[i].kind == GeometryGroup::SECTORS) group.layout = *looks[i].layout;
      g.groups.push_back(std::move(group));
      i = j + 1;
    }
    if (largestTrack < 0 || disk.mediaType == nullptr) return;
    // A media byte that the tracks contradict, judged by what the tracks
    // say they hold, not by how much of them the file kept.
    const std::int64_t fullest = std::max(largest, capacity_);
    const int used = lastUsed + 1;
    int looksLike = -1;
    if (fullest > HIGH_DENSITY_TRACK && disk.media != d88::MEDIA_2HD) {
      looksLike = d88::MEDIA_2HD;
    } else if (fullest <= HIGH_DENSITY_TRACK && disk.media == d88::MEDIA_2HD && used <= MAX_2D_TRACKS &&
               tableTracks <= MAX_2D_TRACKS) {
      looksLike = d88::MEDIA_2D;
    } else if (fullest <= HIGH_DENSITY_TRACK && disk.media == d88::MEDIA_2D && used >= MIN_2DD_TRACKS) {
      looksLike = d88::MEDIA_2DD;
    }
    if (looksLike < 0) return;
    Warning* w = tallies_.note(Code::MEDIA_TYPE_MISMATCH, -1, -1, nullptr, disk.media, used);
    w->looksLike = looksLike;
    w->fullest = *looks[static_cast<std::size_t>(largestTrack)].layout;
  }

  void known(Disk& disk) {
    unsigned char label[LABEL_SECTOR_SIZE];
    int got = 0;
    const KnownDisk known = identifyDisk(reader_, label, &got);
    if (got > LABEL_OFFSET) {
      disk.label.assign(reinterpret_cast<const char*>(label) + LABEL_OFFSET,
                        static_cast<std::size_t>(std::min(LABEL_SIZE, got - LABEL_OFFSET)));
    }
    disk.known = known == KnownDisk::System ? Known::SYSTEM : known == KnownDisk::Maker ? Known::MAKER : Known::NONE;
    if (disk.known != Known::NONE) {
      disk.labelState = LabelState::KNOWN;
    } else if (got == 0) {
      disk.labelState = LabelState::NO_SECTOR;
    } else if (disk.label.empty()) {
      disk.labelState = LabelState::TOO_SHORT;
    } else if (std::all_of(disk.label.begin(), disk.label.end(), [&](char ch) { return ch == disk.label[0]; })) {
      disk.labelState = LabelState::UNIFORM;
      disk.labelByte = static_cast<unsigned char>(disk.label[0]);
    } else {
      disk.labelState = LabelState::TEXT;
    }
    if (disk.known != Known::SYSTEM) return;
    disk.files = checkSystemDisk(reader_);
    for (const FileCheck& f : disk.files) {
      std::vector<int> records, failed;
      for (const SectorPlace& place : f.sectors) records.push_back(recordOf(place));
      for (const SectorPlace& place : f.failed) failed.push_back(recordOf(place));
      disk.fileRecords.push_back(std::move(records));
      disk.failedRecords.push_back(std::move(failed));
    }
  }

  // The record (1-based, in its track's LOOKUP walk) that d88cut's lookup
  // reads for `place`; 0 for none.
  int recordOf(const SectorPlace& place) {
    const d88::SectorLocation at = reader_.locateSector(place.track, place.c, place.h, place.r, SYSTEM_SIZE_CODE);
    return at.found ? at.record + 1 : 0;
  }

  d88::D88Image& reader_;
  int index_;
  int count_;
  Tallies tallies_;
  std::int64_t end_ = -1;
  std::int64_t capacity_ = 0;  // the most data bytes a track says it holds
};

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

Disk inspectDisk(d88::D88Image& reader, int index) {
  DiskInspector inspector(reader, index, reader.diskCount());
  return inspector.run();
}

Outcome outcomeOf(const Report& report) {
  if (!report.d88) return Outcome::NOT_D88;
  bool system = false, whole = true;
  for (const DiskSummary& d : report.summaries) {
    if (d.known != Known::SYSTEM) continue;
    system = true;
    for (const FileCheck& f : d.files) whole = whole && f.whole;
  }
  return !system ? Outcome::NONE : whole ? Outcome::ALL_WHOLE : Outcome::PARTIAL;
}

const char* outcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::ALL_WHOLE: return "all-whole";
    case Outcome::PARTIAL: return "partial";
    case Outcome::NONE: return "none";
    case Outcome::NOT_D88: return "not-d88";
  }
  return "";
}

Report inspect(d88::D88Image& reader, const std::string& path, const std::function<void(const Disk&)>& onDisk) {
  Report report;
  report.path = path;
  report.size = reader.fileSize();
  report.notD88 = checkD88(reader);
  report.d88 = report.notD88.kind == NotD88::NONE;
  if (!report.d88) return report;
  const int count = reader.diskCount();
  std::int64_t end = 0;
  Tallies image;
  Warning* negative = nullptr;
  for (int i = 0; i < count; ++i) {
    DiskInspector inspector(reader, i, count);
    Disk disk = inspector.run();
    end = disk.headerRead ? inspector.end() : report.size;
    // Disks whose size reads as negative send the walk back (or end it):
    // one warning for all of them, on the image.
    if (disk.headerRead && disk.size < 0) {
      Warning* first = image.note(Code::DISK_SIZE_NEGATIVE, -1, -1, nullptr,
                                  static_cast<std::int64_t>(static_cast<std::uint32_t>(disk.size)), disk.fitBytes);
      if (first != nullptr) negative = first;
    }
    if (disk.headerRead && disk.size < 0 && negative != nullptr) negative->disks.push_back(disk.number);
    report.summaries.push_back({disk.number, disk.known, disk.warnings.size(), disk.files});
    if (onDisk) {
      onDisk(disk);
    } else {
      report.disks.push_back(std::move(disk));
    }
  }
  if (end < 0) {
    // A disk size smaller than a header has its warning; what follows it
    // cannot be placed.
  } else if (count == d88::MAX_DISKS && report.size - end >= d88::DISK_HEADER_SIZE) {
    image.note(Code::MORE_THAN_64_DISKS, -1, -1, nullptr, end);
  } else if (end < report.size) {
    image.note(Code::TRAILING_BYTES, -1, -1, nullptr, report.size - end, end);
  }
  report.warnings = image.warnings();
  return report;
}

}  // namespace d88info
