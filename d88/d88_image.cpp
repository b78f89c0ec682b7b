#include "d88_image.h"

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

// Fields are stored as signed 32-bit values: 2^31 and above read as
// negative, without relying on implementation-defined conversions.
std::int32_t toInt32(std::uint32_t v) {
  if (v <= static_cast<std::uint32_t>(INT32_MAX)) return static_cast<std::int32_t>(v);
  return -static_cast<std::int32_t>(~v) - 1;
}

// Every position the reader seeks to lies in 0..INT32_MAX, which fits a long
// on every platform, so fseek is enough (no 64-bit seek extension needed).
bool seekTo(std::FILE* file, std::int64_t position) {
  if (position < 0 || position > INT32_MAX) return false;
  return std::fseek(file, static_cast<long>(position), SEEK_SET) == 0;
}

bool readRecord(std::FILE* file, unsigned char* record) {
  return std::fread(record, 1, SECTOR_RECORD_SIZE, file) == static_cast<std::size_t>(SECTOR_RECORD_SIZE);
}

}  // namespace

D88Image::D88Image()
    : file_(nullptr),
      diskCount_(0),
      firstSector_(1),
      lastSector_(16),
      diskIndex_(),
      diskSize_(0),
      diskOffset_(0),
      trackTable_(),
      mediaType_(-1),
      diskName_(),
      fileSize_(-1),
      writeProtect_(-1) {}

D88Image::~D88Image() {
  if (file_ != nullptr) std::fclose(file_);
}

bool D88Image::open(const char* path) {
  // A caller that forgets to close must not leak the earlier handle.
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  fileSize_ = -1;
  if (path == nullptr) {
    diskCount_ = 0;
    mediaType_ = -1;
    return true;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  // Every read is a header, a record or the one sector asked for, each after
  // a seek: a stdio buffer would only fill itself with data never used.
  std::setvbuf(file, nullptr, _IONBF, 0);

  std::int64_t size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);

  std::int32_t index[MAX_DISKS] = {};
  int count = 0;
  std::int64_t position = 0;
  unsigned char header[DISK_HEADER_SIZE];
  while (count < MAX_DISKS) {
    index[count] = static_cast<std::int32_t>(position);
    if (!seekTo(file, position)) break;
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
      // A short header is the end of the image; a read error (a directory,
      // a failing device) means the image cannot be read at all.
      if (std::ferror(file)) {
        std::fclose(file);
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
  file_ = file;
  fileSize_ = size;
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
}

bool D88Image::selectDisk(int index) {
  if (file_ == nullptr) return false;
  resetSelection();
  if (index < 0 || index >= diskCount_) return false;
  unsigned char header[DISK_HEADER_SIZE];
  // The file may have changed since it was indexed; a header that cannot be
  // re-read whole leaves the disk unselected rather than half-read.
  if (!seekTo(file_, diskIndex_[index]) || std::fread(header, 1, sizeof header, file_) != sizeof header) {
    return false;
  }
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

int D88Image::readSector(int track, int c, int h, int r, int n, unsigned char* buffer, int length) {
  if (file_ == nullptr) return 0;
  if (!seekTo(file_, trackPosition(track))) return 0;
  unsigned char record[SECTOR_RECORD_SIZE];
  // Each record moves the walk at least 16 bytes on, so the end of the file
  // bounds it even when no count field ever stops it.
  for (std::int64_t i = 0;; ++i) {
    if (!readRecord(file_, record)) return 0;
    const std::int64_t count = readLe16(record + RECORD_COUNT_OFFSET);
    const long size = static_cast<long>(readLe16(record + RECORD_SIZE_OFFSET));
    if (count == 0) return 0;
    if (record[0] == c && record[1] == h && record[2] == r && record[3] == n) {
      const long wanted = length <= 0 ? 0 : (length < size ? length : size);
      if (wanted == 0) return 0;
      // Only what the file really holds counts: a sector cut by the end of
      // the file returns fewer bytes.
      return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(wanted), file_));
    }
    // The last record of the track ends the lookup; no need to skip its data.
    if (i == count - 1 || std::fseek(file_, size, SEEK_CUR) != 0) return 0;
  }
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
  if (file_ == nullptr || maxRecords <= 0) return 0;
  std::int64_t position = trackPosition(track);
  if (!seekTo(file_, position)) return 0;
  unsigned char record[SECTOR_RECORD_SIZE];
  int visited = 0;
  // Unlike a lookup, the listing goes on over a count of 0: only the record
  // at position count - 1, the end of the file or the caller's room ends it.
  while (visited < maxRecords) {
    const std::size_t got = std::fread(record, 1, sizeof record, file_);
    if (got != sizeof record) {
      if (cutRecord != nullptr) *cutRecord = got > 0;
      break;
    }
    const int count = static_cast<int>(readLe16(record + RECORD_COUNT_OFFSET));
    const long size = static_cast<long>(readLe16(record + RECORD_SIZE_OFFSET));
    visit(record, position, visited);
    position += SECTOR_RECORD_SIZE + size;
    if (visited++ == count - 1 || std::fseek(file_, size, SEEK_CUR) != 0) break;
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

int D88Image::readTrackRecords(int track, SectorRecord* records, int maxRecords, bool* cutRecord) {
  const std::int64_t fileSize = fileSize_;
  return walkListing(track, maxRecords, cutRecord,
                     [records, fileSize](const unsigned char* record, std::int64_t position, int i) {
                       SectorRecord& out = records[i];
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
                     });
}

}  // namespace d88
