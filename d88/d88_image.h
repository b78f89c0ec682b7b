// D88 floppy-disk image reader.
//
// Byte map of what this reader interprets (all multi-byte fields little-endian):
//
//   file        disk image 0 | disk image 1 | ...  (back to back, no file header)
//               disk image k+1 starts at (start of k) + (disk size of k)
//
//   disk header, 688 (0x2B0) bytes, offsets from the start of the disk image
//     0x00  16  disk name, NUL-terminated unless all 16 bytes are used
//     0x10  10  reserved; many writers put the name's NUL at 0x10
//     0x1A   1  write protect, 0x10 = on      (not interpreted by the lookups)
//     0x1B   1  media type: 0x00 2D, 0x10 2DD, 0x20 2HD, 0x30 1D, 0x40 1DD
//     0x1C   4  disk size: bytes from this header to the next disk image
//     0x20 656  track table: 164 x 4-byte offsets of each track's first
//               sector record, from the start of this header; 0 = absent
//
//   track: a chain of sector records from the table offset; each record is a
//   16-byte header immediately followed by its data
//     0x00   1  C   cylinder byte of the sector ID
//     0x01   1  H   head byte
//     0x02   1  R   sector number byte
//     0x03   1  N   size code (128 << N bytes nominal)
//     0x04   2  sector count of this track (each record carries its own)
//     0x06   1  density                       (not interpreted by the lookups)
//     0x07   1  deleted-data mark             (not interpreted by the lookups)
//     0x08   1  FDC status                    (not interpreted by the lookups)
//     0x09   5  reserved                      (not interpreted)
//     0x0E   2  data size: bytes of data after this record
//
// Two walks over a track's records, named so that every caller says which
// one it follows (TrackWalk):
//   LOOKUP   what readSector follows: records in stored order from the
//            table offset; a record whose count field is 0 ends the walk
//            before it is looked at; the record at 0-based position
//            count - 1 (by its own count) is the last; a record cut by the
//            end of the file ends it.
//   LISTING  what readTrackIds follows: the same, except that a count of 0
//            does not end the walk (such a record is listed, and only the
//            end of the file or the caller's room ends the track).
// So the lookup's records are always a prefix of the listing's.
//
// Quirks of real images that the reader tolerates: several disk images in one
// file; sectors stored in any order; N that disagrees with the data size (the
// data size alone decides how far to skip); a disk size that runs past the end
// of the file; table entries past the disk (treated as absent); files cut
// short anywhere (a cut record ends the walk, a cut sector returns what is
// there).
//
// Every value from the file is checked before it becomes an offset, a size
// or an index; positions are computed in 64 bits and anything outside the
// signed 32-bit range is treated as absent. The reader never prints.
#ifndef D88_D88_IMAGE_H
#define D88_D88_IMAGE_H

#include <cstdint>
#include <cstdio>
#include <vector>

#include "d88/byte_source.h"

namespace d88 {

constexpr int MAX_DISKS = 64;
constexpr int TRACK_COUNT = 164;
constexpr int DISK_HEADER_SIZE = 0x2B0;
constexpr int SECTOR_RECORD_SIZE = 16;

// Format facts shared by everything that reads the layout.
constexpr int NAME_SIZE = 16;
constexpr int WRITE_PROTECT_ON = 0x10;
// The media byte: 0x00 2D, 0x10 2DD, 0x20 2HD, 0x30 1D, 0x40 1DD.
constexpr int MEDIA_2D = 0x00;
constexpr int MEDIA_2DD = 0x10;
constexpr int MEDIA_2HD = 0x20;
constexpr int MEDIA_1D = 0x30;
constexpr int MEDIA_1DD = 0x40;
// "2D" ... "1DD", or nullptr for a byte that is none of the five.
const char* mediaTypeName(int media);
inline bool singleSidedMedia(int media) { return media == MEDIA_1D || media == MEDIA_1DD; }
// The largest size code a floppy controller of these machines formats
// (N 7, 16384 bytes); a run accepts up to MAX_RUN_SIZE_CODE, the largest
// for which 128 << N is still a positive int.
constexpr int MAX_FORMAT_SIZE_CODE = 7;
constexpr int MAX_RUN_SIZE_CODE = 23;
// 128 << n for a size code a controller formats, -1 for any other.
inline int nominalSectorSize(int n) { return n >= 0 && n <= MAX_FORMAT_SIZE_CODE ? 128 << n : -1; }
// The four ID bytes C, H, R, N as one key, C most significant: sorting by
// it sorts by cylinder, head, sector number, size code.
inline std::uint32_t sectorIdKey(int c, int h, int r, int n) {
  return static_cast<std::uint32_t>(c & 0xFF) << 24 | static_cast<std::uint32_t>(h & 0xFF) << 16 |
         static_cast<std::uint32_t>(r & 0xFF) << 8 | static_cast<std::uint32_t>(n & 0xFF);
}

// Each byte is widened before it is shifted, so the result never depends on
// the host's byte order or on the sign of char.
inline std::uint32_t readLe16(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
}

inline std::uint32_t readLe32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The four ID bytes of a sector, each 0..255.
struct SectorId {
  int c;
  int h;
  int r;
  int n;
};

// Every field of one sector record, and where it stands in the file.
struct SectorRecord {
  int c, h, r, n;
  int count;              // sector-count field
  int density;            // byte 0x06
  int deleted;            // byte 0x07, deleted-data mark
  int status;             // byte 0x08, FDC status
  int dataSize;           // data-size field
  std::int64_t position;  // file offset of the record
  int dataAvailable;      // data bytes the file really holds, 0..dataSize
};

// Which of the two walks (see the byte map above) a caller follows.
enum class TrackWalk { LOOKUP, LISTING };

// Why a walk over a track ended.
enum class WalkEnd {
  LAST_RECORD,  // the record at position count - 1
  ZERO_COUNT,   // LOOKUP only: a record whose count field is 0 (not visited)
  END_OF_FILE,  // no byte of the next record is in the file
  CUT_RECORD,   // the next record is cut by the end of the file
  STOPPED,      // the visitor asked to stop
  LIMIT,        // the caller's maximum number of records
  UNREADABLE,   // no file, or the track cannot be read
};

struct WalkResult {
  int visited = 0;
  WalkEnd end = WalkEnd::UNREADABLE;
  std::int64_t next = -1;    // where the record after the last visited one would start
  SectorRecord zeroCount{};  // the record that ended a LOOKUP walk with ZERO_COUNT
};

// Where a lookup finds a sector: what readSector reads.
struct SectorLocation {
  bool found = false;
  int record = -1;             // 0-based position in the track's LOOKUP walk
  std::int64_t position = -1;  // file offset of its record
  int dataSize = 0;            // its data-size field
  int dataAvailable = 0;       // data bytes the file really holds, 0..dataSize
};

class D88Image {
 public:
  D88Image();
  ~D88Image();
  D88Image(const D88Image&) = delete;
  D88Image& operator=(const D88Image&) = delete;

  // With a path: opens the image for binary reading and indexes up to
  // MAX_DISKS disk images. False, with no file held, when it cannot be opened
  // or read. With nullptr: closes the image and empties the index.
  //
  // None of the three opens touches the selection: the name, media type,
  // disk size, offset and track table of a disk selected in an earlier image
  // stay, and a read before a new selectDisk reads the old disk's places in
  // the new file. Select a disk of the new image before reading it.
  // A regular file is read in place; a pipe, FIFO or device is read whole
  // into memory first (up to 2^31 - 1 bytes; beyond that it cannot be
  // opened).
  bool open(const char* path);
  // Reads `stream` (standard input, say) whole and indexes it; the stream
  // stays the caller's. False when it cannot be read or is too large. Keeps
  // an earlier selection, as open does.
  bool openStream(std::FILE* stream);
  // Indexes the `size` bytes at `data` without copying them: the caller
  // keeps them alive until the reader is closed or destroyed. Keeps an
  // earlier selection, as open does.
  bool openMemory(const unsigned char* data, std::int64_t size);
  int diskCount() const { return diskCount_; }

  // Makes disk `index` the selected one. On failure no disk is selected.
  bool selectDisk(int index);
  // Sector numbers a run starts each new track with and moves on after.
  void setSectorRange(int first, int last) {
    firstSector_ = first;
    lastSector_ = last;
  }
  const char* diskName() const { return diskName_; }
  int mediaType() const { return mediaType_; }
  // The selected disk's disk-size field (0 when none is selected) and the
  // file offset of its header (-1 after a failed selection).
  int diskSize() const { return diskSize_; }
  int diskOffset() const { return diskOffset_; }

  // Copies at most `length` bytes of the data of sector (c, h, r, n) of
  // `track` into `buffer`. Returns the bytes copied; 0 when not found.
  // The first lookup on a track walks its records once and keeps where each
  // ID first stands, so later lookups on it cost no walk at all.
  int readSector(int track, int c, int h, int r, int n, unsigned char* buffer, int length);
  // Where readSector finds sector (c, h, r, n) of `track`, without reading
  // its data: the one answer to "which record does a lookup read".
  SectorLocation locateSector(int track, int c, int h, int r, int n);

  // Reads `length` bytes from sector (c, h, r, n) of `track` on through the
  // following sectors. Returns the bytes of whole requested pieces delivered:
  // a multiple of 128 << n, or `length`.
  int readSectors(int track, int c, int h, int r, int n, unsigned char* buffer, int length);

  // Writes C, H, R, N of the records of `track`, in stored order, as 4-byte
  // entries, as many as fit in `length`. Returns the bytes written.
  int readTrackIds(int track, unsigned char* buffer, int length);

  // Read-only views for inspecting an image. None changes what the
  // operations above do.

  // Bytes in the open image file; -1 when none is open or it is unknown.
  std::int64_t fileSize() const { return source_.size(); }
  // The selected disk's write-protect byte (0x1A), -1 when none is selected.
  int writeProtect() const { return writeProtect_; }
  // The raw track table entry of the selected disk, 0 outside 0..163.
  std::uint32_t trackEntry(int track) const;
  // The absolute file offset of `track`'s first record, -1 when it cannot be read.
  std::int64_t trackOffset(int track) const { return trackPosition(track); }
  // The records of `track` by the listing's rule (stored order, up to the
  // record at position count - 1 or the end of the file), at most
  // `maxRecords`. Returns how many were stored; `cutRecord`, when given, says
  // whether a record header cut by the end of the file ended the walk.
  int readTrackRecords(int track, SectorRecord* records, int maxRecords, bool* cutRecord = nullptr);

  // Visits the records of `track` by `rule`, at most `maxRecords` of them:
  // visit(const SectorRecord& record, int index) returns true to stop. Each
  // record moves the walk at least 16 bytes on, so the end of the file
  // bounds it whatever the count fields say.
  template <class Visit>
  WalkResult walkTrack(int track, TrackWalk rule, int maxRecords, Visit visit) {
    const std::int64_t start = trackPosition(track);
    if (!source_.isOpen() || start < 0) return WalkResult{};
    return walkFrom(start, rule, maxRecords, visit);
  }

  // Up to `length` bytes of the open image from absolute file `position`;
  // the count copied, fewer at the end of the file.
  int readBytes(std::int64_t position, unsigned char* buffer, int length);
  // Every field of the sector record at absolute file `position`; false
  // when fewer than 16 bytes of it are in the file.
  bool readRecordAt(std::int64_t position, SectorRecord& record);

  // The sector a run continues with after (track, c, h, r), by the current
  // sector range: the next R, or the first R on the next head or cylinder.
  void nextSector(int& track, int& c, int& h, int& r) const;

 private:
  // Absolute file position of `track`'s first record, or -1 when the track
  // cannot be read.
  std::int64_t trackPosition(int track) const;
  void resetSelection();
  // The index walk over the open source; false on a read error.
  bool buildIndex();
  void forgetLookups();

  // Where each sector ID of one track is first met by a lookup's walk.
  struct LookupEntry {
    std::uint32_t id;  // C, H, R, N, most significant first
    std::int32_t position;
    std::int32_t dataSize;
    std::int32_t record;  // position in the LOOKUP walk
  };
  struct TrackLookup {
    std::int64_t start;                // file position of the track's first record
    std::vector<LookupEntry> entries;  // sorted by id, one entry per id
  };
  // The lookup table of `track` (whose first record is at `start`), built
  // on first use and shared by tracks that start at the same place; null
  // when the walk would pass the memory bound.
  const TrackLookup* trackLookup(int track, std::int64_t start);
  // Walks `track`'s records by the listing's rule, at most `maxRecords`,
  // calling visit(record bytes, file position, index) for each. Returns how
  // many were visited; `cutRecord` says whether a cut record ended the walk.
  // The walk of walkTrack from the record at file position `start`.
  template <class Visit>
  WalkResult walkFrom(std::int64_t start, TrackWalk rule, int maxRecords, Visit visit) {
    WalkResult result;
    std::int64_t position = start;
    unsigned char bytes[SECTOR_RECORD_SIZE];
    SectorRecord record;
    const std::int64_t fileSize = source_.size();
    for (;;) {
      if (result.visited >= maxRecords) {
        result.end = WalkEnd::LIMIT;
        break;
      }
      const int got = source_.read(position, bytes, SECTOR_RECORD_SIZE);
      if (got != SECTOR_RECORD_SIZE) {
        result.end = got > 0 ? WalkEnd::CUT_RECORD : WalkEnd::END_OF_FILE;
        break;
      }
      decodeRecord(bytes, position, fileSize, record);
      if (rule == TrackWalk::LOOKUP && record.count == 0) {
        result.end = WalkEnd::ZERO_COUNT;
        result.zeroCount = record;
        break;
      }
      const int index = result.visited++;
      position += SECTOR_RECORD_SIZE + record.dataSize;
      if (visit(static_cast<const SectorRecord&>(record), index)) {
        result.end = WalkEnd::STOPPED;
        break;
      }
      if (index == record.count - 1) {
        result.end = WalkEnd::LAST_RECORD;
        break;
      }
    }
    result.next = position;
    return result;
  }
  static void decodeRecord(const unsigned char* bytes, std::int64_t position, std::int64_t fileSize, SectorRecord& out);

  ByteSource source_;
  std::int32_t diskCount_;
  std::int32_t firstSector_;
  std::int32_t lastSector_;
  std::int32_t diskIndex_[MAX_DISKS];
  std::int32_t diskSize_;
  std::int32_t diskOffset_;
  std::int32_t trackTable_[TRACK_COUNT];
  std::int32_t mediaType_;
  char diskName_[17];
  std::int32_t writeProtect_;

  // Lookup tables of the selected disk. Their entries stay below
  // MAX_LOOKUP_ENTRIES in all (16 bytes each, 64 MiB), whatever the image holds;
  // a track past that bound is walked on every lookup instead.
  static constexpr std::int64_t MAX_LOOKUP_ENTRIES = std::int64_t{1} << 22;
  static constexpr int NO_LOOKUP = -1;
  static constexpr int TOO_LARGE = -2;
  std::vector<TrackLookup> lookups_;
  int lookupSlot_[TRACK_COUNT];
  std::int64_t lookupEntries_;
};

}  // namespace d88

#endif  // D88_D88_IMAGE_H
