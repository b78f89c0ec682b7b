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
constexpr int NAME_LENGTH = 16;
constexpr int RECORD_COUNT_OFFSET = 4;
constexpr int RECORD_SIZE_OFFSET = 14;
// 128 << 23 is the largest piece that is still a positive int.
constexpr int MAX_SIZE_CODE = 23;

// The four ID bytes C, H, R, N as one key, C most significant.
std::uint32_t idKey(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

// Fields are stored as signed 32-bit values: 2^31 and above read as
// negative, without relying on implementation-defined conversions.
std::int32_t toInt32(std::uint32_t v) {
  if (v <= static_cast<std::uint32_t>(INT32_MAX)) return static_cast<std::int32_t>(v);
  return -static_cast<std::int32_t>(~v) - 1;
}

}  // namespace

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
  for (; i < NAME_LENGTH && header[i] != 0; ++i) diskName_[i] = static_cast<char>(header[i]);
  for (; i < NAME_LENGTH; ++i) diskName_[i] = '\0';
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

template <class Visit>
void D88Image::walkLookup(std::int64_t start, Visit visit) {
  // Each record is judged by its own count field: a count of 0 ends the walk
  // before its record is looked at, the record at position count - 1 after.
  // Each record moves the walk at least 16 bytes on, so the end of the file
  // bounds it even when no count field ever stops it.
  std::int64_t position = start;
  unsigned char record[SECTOR_RECORD_SIZE];
  for (std::int64_t i = 0;; ++i) {
    if (source_.read(position, record, SECTOR_RECORD_SIZE) != SECTOR_RECORD_SIZE) return;
    const std::int64_t count = readLe16(record + RECORD_COUNT_OFFSET);
    const int size = static_cast<int>(readLe16(record + RECORD_SIZE_OFFSET));
    if (count == 0 || visit(record, position, size) || i == count - 1) return;
    position += SECTOR_RECORD_SIZE + size;
  }
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
  walkLookup(start, [&](const unsigned char* record, std::int64_t position, int size) {
    if (lookupEntries_ + static_cast<std::int64_t>(lookup.entries.size()) >= MAX_LOOKUP_ENTRIES) {
      tooLarge = true;
      return true;
    }
    // Most tracks hold what their first record says: room for that many
    // (within reason) saves regrowing.
    if (lookup.entries.empty()) {
      const std::uint32_t count = readLe16(record + RECORD_COUNT_OFFSET);
      lookup.entries.reserve(count < 256 ? count : 256);
    }
    lookup.entries.push_back({idKey(record), static_cast<std::int32_t>(position), size});
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

int D88Image::readSector(int track, int c, int h, int r, int n, unsigned char* buffer, int length) {
  const std::int64_t start = trackPosition(track);
  if (!source_.isOpen() || start < 0) return 0;
  // An argument outside 0..255 matches no ID byte.
  for (int v : {c, h, r, n}) {
    if (v < 0 || v > 255) return 0;
  }
  const unsigned char wantedId[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(h),
                                     static_cast<unsigned char>(r), static_cast<unsigned char>(n)};
  const std::uint32_t id = idKey(wantedId);
  std::int64_t position = -1;
  int size = 0;
  if (const TrackLookup* lookup = trackLookup(track, start)) {
    const auto found = std::lower_bound(lookup->entries.begin(), lookup->entries.end(), id,
                                        [](const LookupEntry& e, std::uint32_t key) { return e.id < key; });
    if (found != lookup->entries.end() && found->id == id) {
      position = found->position;
      size = found->dataSize;
    }
  } else {
    // A track too long to keep a table of is walked on every lookup.
    walkLookup(start, [&](const unsigned char* record, std::int64_t at, int dataSize) {
      if (idKey(record) != id) return false;
      position = at;
      size = dataSize;
      return true;
    });
  }
  if (position < 0) return 0;
  // Only what the file really holds counts: a sector cut by the end of the
  // file returns fewer bytes.
  return source_.read(position + SECTOR_RECORD_SIZE, buffer, std::min(length <= 0 ? 0 : length, size));
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
  if (length <= 0 || n < 0 || n > MAX_SIZE_CODE) return 0;
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

template <class Visit>
int D88Image::walkListing(int track, int maxRecords, bool* cutRecord, Visit visit) {
  if (cutRecord != nullptr) *cutRecord = false;
  std::int64_t position = trackPosition(track);
  if (!source_.isOpen() || maxRecords <= 0 || position < 0) return 0;
  unsigned char record[SECTOR_RECORD_SIZE];
  int visited = 0;
  // Unlike a lookup, the listing goes on over a count of 0: only the record
  // at position count - 1, the end of the file or the caller's room ends it.
  while (visited < maxRecords) {
    const int got = source_.read(position, record, SECTOR_RECORD_SIZE);
    if (got != SECTOR_RECORD_SIZE) {
      if (cutRecord != nullptr) *cutRecord = got > 0;
      break;
    }
    const int count = static_cast<int>(readLe16(record + RECORD_COUNT_OFFSET));
    const int size = static_cast<int>(readLe16(record + RECORD_SIZE_OFFSET));
    visit(record, position, visited);
    position += SECTOR_RECORD_SIZE + size;
    if (visited++ == count - 1) break;
  }
  return visited;
}

int D88Image::readTrackIds(int track, unsigned char* buffer, int length) {
  // Only whole entries are written, whatever the length.
  return 4 * walkListing(track, length / 4, nullptr, [buffer](const unsigned char* record, std::int64_t, int i) {
           std::memcpy(buffer + 4 * i, record, 4);
         });
}

std::uint32_t D88Image::trackEntry(int track) const {
  if (track < 0 || track >= TRACK_COUNT) return 0;
  return static_cast<std::uint32_t>(trackTable_[track]);
}

namespace {
void decodeRecord(const unsigned char* record, std::int64_t position, std::int64_t fileSize, SectorRecord& out) {
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
}  // namespace

int D88Image::readTrackRecords(int track, SectorRecord* records, int maxRecords, bool* cutRecord) {
  const std::int64_t fileSize = source_.size();
  return walkListing(track, maxRecords, cutRecord,
                     [records, fileSize](const unsigned char* record, std::int64_t position, int i) {
                       decodeRecord(record, position, fileSize, records[i]);
                     });
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
