#include "d88_image.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace d88 {
namespace {

constexpr int DISK_SIZE_OFFSET = 0x1C;
constexpr int WRITE_PROTECT_OFFSET = 0x1A;
constexpr int MEDIA_TYPE_OFFSET = 0x1B;
constexpr int TRACK_TABLE_OFFSET = 0x20;
constexpr int RECORD_COUNT_OFFSET = 4;
constexpr int RECORD_SIZE_OFFSET = 14;

// Fields are stored as signed 32-bit values: 2^31 and above read as
// negative, without relying on implementation-defined conversions.
std::int32_t toInt32(std::uint32_t v) {
  if (v <= static_cast<std::uint32_t>(INT32_MAX)) return static_cast<std::int32_t>(v);
  return -static_cast<std::int32_t>(~v) - 1;
}

}  // namespace

const char* mediaTypeName(int media) {
  switch (media) {
    case MEDIA_2D: return "2D";
    case MEDIA_2DD: return "2DD";
    case MEDIA_2HD: return "2HD";
    case MEDIA_1D: return "1D";
    case MEDIA_1DD: return "1DD";
    default: return nullptr;
  }
}

D88Image::D88Image()
    : diskCount_(0),
      firstSector_(1),
      lastSector_(16),
      diskIndex_(),
      diskSize_(0),
      diskOffset_(0),
      trackTable_(),
      mediaType_(-1),
      diskName_(),
      writeProtect_(-1),
      lookupSlot_(),
      lookupEntries_(0) {
  forgetLookups();
}

void D88Image::forgetLookups() {
  lookups_.clear();
  lookupEntries_ = 0;
  std::fill(std::begin(lookupSlot_), std::end(lookupSlot_), NO_LOOKUP);
}

D88Image::~D88Image() = default;

bool D88Image::open(const char* path) {
  // A caller that forgets to close must not leak the earlier source.
  source_.close();
  forgetLookups();
  if (path == nullptr) {
    diskCount_ = 0;
    mediaType_ = -1;
    return true;
  }
  return source_.openPath(path) && buildIndex();
}

bool D88Image::openStream(std::FILE* stream) {
  forgetLookups();
  return source_.openStream(stream) && buildIndex();
}

bool D88Image::openMemory(const unsigned char* data, std::int64_t size) {
  forgetLookups();
  return source_.openMemory(data, size) && buildIndex();
}

bool D88Image::buildIndex() {
  std::int32_t index[MAX_DISKS] = {};
  int count = 0;
  std::int64_t position = 0;
  unsigned char header[DISK_HEADER_SIZE];
  while (count < MAX_DISKS) {
    index[count] = static_cast<std::int32_t>(position);
    // Headers of the index walk lie far apart: read each straight, so that
    // the window is not filled with the rest of a disk nobody asked for.
    if (source_.read(position, header, DISK_HEADER_SIZE, false) != DISK_HEADER_SIZE) {
      // A short header is the end of the image; a read error (a directory,
      // a failing device) means the image cannot be read at all.
      if (source_.failed()) {
        source_.close();
        return false;
      }
      break;
    }
    ++count;
    // A size that would move the walk before the file start or past the
    // 32-bit range ends it: no disk image can start there.
    const std::int64_t next = position + toInt32(readLe32(header + DISK_SIZE_OFFSET));
    if (next < 0 || next > INT32_MAX) break;
    position = next;
  }
  diskCount_ = count;
  std::memcpy(diskIndex_, index, sizeof diskIndex_);
  return true;
}

void D88Image::resetSelection() {
  diskOffset_ = -1;
  mediaType_ = -1;
  writeProtect_ = -1;
  diskSize_ = 0;
  diskName_[0] = '\0';
  forgetLookups();
}

bool D88Image::selectDisk(int index) {
  if (!source_.isOpen()) return false;
  resetSelection();
  if (index < 0 || index >= diskCount_) return false;
  unsigned char header[DISK_HEADER_SIZE];
  // The file may have changed since it was indexed; a header that cannot be
  // re-read whole leaves the disk unselected rather than half-read.
  if (source_.read(diskIndex_[index], header, DISK_HEADER_SIZE) != DISK_HEADER_SIZE) return false;
  for (int t = 0; t < TRACK_COUNT; ++t) {
    trackTable_[t] = toInt32(readLe32(header + TRACK_TABLE_OFFSET + 4 * t));
  }
  mediaType_ = header[MEDIA_TYPE_OFFSET];
  writeProtect_ = header[WRITE_PROTECT_OFFSET];
  diskSize_ = toInt32(readLe32(header + DISK_SIZE_OFFSET));
  diskOffset_ = diskIndex_[index];
  int i = 0;
  for (; i < NAME_SIZE && header[i] != 0; ++i) diskName_[i] = static_cast<char>(header[i]);
  for (; i < NAME_SIZE; ++i) diskName_[i] = '\0';
  return true;
}

std::int64_t D88Image::trackPosition(int track) const {
  if (track < 0 || track >= TRACK_COUNT) return -1;
  const std::int32_t entry = trackTable_[track];
  // Entries of 2^31 and above read as negative and are unreadable, like
  // entries past the disk.
  if (entry <= 0 || entry > diskSize_ || diskOffset_ < 0) return -1;
  const std::int64_t position = static_cast<std::int64_t>(diskOffset_) + entry;
  return position > INT32_MAX ? -1 : position;
}

const D88Image::TrackLookup* D88Image::trackLookup(int track, std::int64_t start) {
  int& slot = lookupSlot_[track];
  if (slot == TOO_LARGE) return nullptr;
  if (slot >= 0) return &lookups_[static_cast<std::size_t>(slot)];
  for (std::size_t i = 0; i < lookups_.size(); ++i) {
    if (lookups_[i].start == start) {
      slot = static_cast<int>(i);
      return &lookups_[i];
    }
  }
  TrackLookup lookup{start, {}};
  bool tooLarge = false;
  walkFrom(start, TrackWalk::LOOKUP, INT_MAX, [&](const SectorRecord& record, int index) {
    if (lookupEntries_ + static_cast<std::int64_t>(lookup.entries.size()) >= MAX_LOOKUP_ENTRIES) {
      tooLarge = true;
      return true;
    }
    // Most tracks hold what their first record says: room for that many
    // (within reason) saves regrowing.
    if (lookup.entries.empty()) lookup.entries.reserve(record.count < 256 ? record.count : 256);
    lookup.entries.push_back({sectorIdKey(record.c, record.h, record.r, record.n),
                              static_cast<std::int32_t>(record.position), record.dataSize, index});
    return false;
  });
  if (tooLarge) {
    slot = TOO_LARGE;
    return nullptr;
  }
  // The first record with an ID wins: a stable sort keeps walk order among
  // equal IDs (and costs one pass where most IDs are equal, as on a chain of
  // empty records), and unique keeps the first of them.
  std::stable_sort(lookup.entries.begin(), lookup.entries.end(),
                   [](const LookupEntry& a, const LookupEntry& b) { return a.id < b.id; });
  lookup.entries.erase(std::unique(lookup.entries.begin(), lookup.entries.end(),
                                   [](const LookupEntry& a, const LookupEntry& b) { return a.id == b.id; }),
                       lookup.entries.end());
  lookupEntries_ += static_cast<std::int64_t>(lookup.entries.size());
  lookups_.push_back(std::move(lookup));
  slot = static_cast<int>(lookups_.size() - 1);
  return &lookups_.back();
}

SectorLocation D88Image::locateSector(int track, int c, int h, int r, int n) {
  SectorLocation found;
  const std::int64_t start = trackPosition(track);
  if (!source_.isOpen() || start < 0) return found;
  // An argument outside 0..255 matches no ID byte.
  for (int v : {c, h, r, n}) {
    if (v < 0 || v > 255) return found;
  }
  const std::uint32_t id = sectorIdKey(c, h, r, n);
  if (const TrackLookup* lookup = trackLookup(track, start)) {
    const auto entry = std::lower_bound(lookup->entries.begin(), lookup->entries.end(), id,
                                        [](const LookupEntry& e, std::uint32_t key) { return e.id < key; });
    if (entry != lookup->entries.end() && entry->id == id) {
      found.found = true;
      found.record = entry->record;
      found.position = entry->position;
      found.dataSize = entry->dataSize;
    }
  } else {
    // A track too long to keep a table of is walked on every lookup.
    walkFrom(start, TrackWalk::LOOKUP, INT_MAX, [&](const SectorRecord& record, int index) {
      if (sectorIdKey(record.c, record.h, record.r, record.n) != id) return false;
      found.found = true;
      found.record = index;
      found.position = record.position;
      found.dataSize = record.dataSize;
      return true;
    });
  }
  if (found.found) {
    const std::int64_t dataStart = found.position + SECTOR_RECORD_SIZE;
    const std::int64_t left = source_.size() > dataStart ? source_.size() - dataStart : 0;
    found.dataAvailable = left < found.dataSize ? static_cast<int>(left) : found.dataSize;
  }
  return found;
}

int D88Image::readSector(int track, int c, int h, int r, int n, unsigned char* buffer, int length) {
  const SectorLocation at = locateSector(track, c, h, r, n);
  if (!at.found) return 0;
  // Only what the file really holds counts: a sector cut by the end of the
  // file returns fewer bytes.
  return source_.read(at.position + SECTOR_RECORD_SIZE, buffer, std::min(length <= 0 ? 0 : length, at.dataSize));
}

void D88Image::nextSector(int& track, int& c, int& h, int& r) const {
  // Runs only step from sectors that were found, whose values are small;
  // the guards keep a caller's extreme values from overflowing.
  if (r == lastSector_) {
    if (track < INT_MAX) ++track;
    if (h == 0) {
      h = 1;
    } else {
      h = 0;
      if (c < INT_MAX) ++c;
    }
    r = firstSector_;
  } else if (r < INT_MAX) {
    ++r;
  }
}

int D88Image::readSectors(int track, int c, int h, int r, int n, unsigned char* buffer, int length) {
  if (length <= 0 || n < 0 || n > MAX_RUN_SIZE_CODE) return 0;
  int piece = 128 << n;
  int done = 0;
  while (done < length) {
    if (piece > length - done) piece = length - done;
    // A short or missing sector ends the run and is not counted, even where
    // some of its bytes were copied.
    if (readSector(track, c, h, r, n, buffer + done, piece) < piece) return done;
    done += piece;
    nextSector(track, c, h, r);
  }
  return done;
}

int D88Image::readTrackIds(int track, unsigned char* buffer, int length) {
  // Only whole entries are written, whatever the length.
  if (length < 4) return 0;
  return 4 * walkTrack(track, TrackWalk::LISTING, length / 4, [buffer](const SectorRecord& record, int i) {
               const unsigned char id[4] = {static_cast<unsigned char>(record.c), static_cast<unsigned char>(record.h),
                                            static_cast<unsigned char>(record.r), static_cast<unsigned char>(record.n)};
               std::memcpy(buffer + 4 * i, id, 4);
               return false;
             }).visited;
}

std::uint32_t D88Image::trackEntry(int track) const {
  if (track < 0 || track >= TRACK_COUNT) return 0;
  return static_cast<std::uint32_t>(trackTable_[track]);
}

void D88Image::decodeRecord(const unsigned char* record, std::int64_t position, std::int64_t fileSize,
                            SectorRecord& out) {
  out.c = record[0];
  out.h = record[1];
  out.r = record[2];
  out.n = record[3];
  out.count = static_cast<int>(readLe16(record + RECORD_COUNT_OFFSET));
  out.density = record[6];
  out.deleted = record[7];
  out.status = record[8];
  out.dataSize = static_cast<int>(readLe16(record + RECORD_SIZE_OFFSET));
  out.position = position;
  const std::int64_t dataStart = position + SECTOR_RECORD_SIZE;
  const std::int64_t left = fileSize > dataStart ? fileSize - dataStart : 0;
  out.dataAvailable = left < out.dataSize ? static_cast<int>(left) : out.dataSize;
}

int D88Image::readTrackRecords(int track, SectorRecord* records, int maxRecords, bool* cutRecord) {
  if (cutRecord != nullptr) *cutRecord = false;
  if (maxRecords <= 0) return 0;
  const WalkResult walk =
      walkTrack(track, TrackWalk::LISTING, maxRecords, [records](const SectorRecord& record, int i) {
        records[i] = record;
        return false;
      });
  if (cutRecord != nullptr) *cutRecord = walk.end == WalkEnd::CUT_RECORD;
  return walk.visited;
}

int D88Image::readBytes(std::int64_t position, unsigned char* buffer, int length) {
  return source_.read(position, buffer, length);
}

bool D88Image::readRecordAt(std::int64_t position, SectorRecord& record) {
  unsigned char bytes[SECTOR_RECORD_SIZE];
  if (source_.read(position, bytes, SECTOR_RECORD_SIZE) != SECTOR_RECORD_SIZE) return false;
  decodeRecord(bytes, position, source_.size(), record);
  return true;
}

}  // namespace d88
