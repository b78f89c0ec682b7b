// The inspection of a D88 image: what it holds, whether d88cut cuts its
// files whole, and what is wrong with it, found once and returned as plain
// data. It never prints; the text and JSON views (render.h) show a Report.
//
// The sectors of a track, the one rule every view follows: records in stored
// order from the track's offset; the track ends after the record at position
// count - 1 (by that record's own count field), before a record whose count
// field is 0 (a lookup stops there too), before a record that starts at or
// after the next track's start or the disk's end, and before a record cut by
// the end of the file. A track whose first record says 0 sectors is empty
// (unformatted). Tracks that share one offset are analysed once.
#ifndef INFO_ANALYSIS_H
#define INFO_ANALYSIS_H

#include <cstdint>
#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "tool/identify.h"
#include "tool/recipe.h"

namespace d88info {

// Every kind of fault, with a stable name (its code) and a title in the
// words users search for. The order is the order of the report.
enum class Code {
  // the image
  TRAILING_BYTES,
  MORE_THAN_64_DISKS,
  // a disk's header
  HEADER_UNREADABLE,
  DISK_SIZE_ZERO,
  DISK_SIZE_BELOW_HEADER,
  DISK_SIZE_NEGATIVE,
  DISK_SIZE_PAST_END,
  MEDIA_TYPE_UNKNOWN,
  MEDIA_TYPE_MISMATCH,
  NAME_RUNS_ON,
  SHORT_TRACK_TABLE,
  // its track table
  TRACK_ENTRY_UNUSED_MARK,
  TRACK_ENTRY_NEGATIVE,
  TRACK_ENTRY_PAST_DISK,
  TRACK_ENTRY_PAST_32_BITS,
  TRACK_ENTRY_IN_HEADER,
  SHARED_TRACK_OFFSET,
  // its tracks
  EMPTY_TRACK,
  TRACK_AT_END_OF_FILE,
  SECTOR_COUNT_TOO_HIGH,
  SECTOR_COUNT_VARIES,
  ZERO_COUNT_RECORD,
  RECORD_CUT,
  // its sectors
  DUPLICATE_SECTOR_ID,
  ID_TRACK_MISMATCH,
  SIZE_CODE_INVALID,
  DATA_SIZE_MISMATCH,
  DELETED_DATA,
  CRC_ERROR,
  SECTOR_STATUS,
  DATA_CUT,
  DATA_PAST_DISK,
  COUNT_
};
constexpr int CODE_COUNT = static_cast<int>(Code::COUNT_);

// The kebab-case name of a code ("duplicate-sector-id").
const char* codeName(Code code);

// One kind of fault on one disk (or on the image): how often it was seen,
// on which tracks, and its first place.
struct Warning {
  Code code;
  std::int64_t count = 0;
  std::vector<int> tracks;  // ascending; empty for faults of no track
  int track = -1;           // first place: track index, -1 for none
  int record = 0;           // first place: 1-based record of that track, 0 for none
  std::string text;         // the whole warning in words, first place included
};

// What a sector is, for a picture of the disk: the first that applies.
enum class SectorKind : std::uint8_t {
  NORMAL,
  ERROR_STATUS,  // a CRC error or another FDC error status
  DELETED,       // the deleted-data mark
  ODD_SIZE,      // a data size other than 128 << N, or no such size
};
// "normal", "error", "deleted", "odd-size".
const char* kindName(SectorKind kind);

struct Sector {
  std::uint8_t c, h, r, n;
  std::int32_t size;     // data-size field
  std::uint16_t count;   // sector-count field
  std::uint8_t deleted;  // deleted-data mark
  std::uint8_t status;   // FDC status
  SectorKind kind;
};

struct Track {
  int index;
  std::uint32_t entry;          // the table entry
  std::int64_t offset = -1;     // absolute file offset of its first record
  int sameAs = -1;              // an earlier track at the same offset, analysed in its place
  bool empty = false;           // the first record says 0 sectors
  std::vector<Sector> sectors;  // by the rule above
  std::int64_t bytes = 0;       // data bytes of its sectors
  std::string layout;           // its sector sizes: "5 x 1024 bytes", "4 x 1024, 1 x 512 bytes"
};

enum class Known { NONE, SYSTEM, MAKER };

struct Disk {
  int number;  // 1-based
  std::int64_t offset;
  bool headerRead = false;
  std::int64_t size = 0;             // the disk-size field, signed as the reader reads it
  std::string fit;                   // how the size fits the file, in words
  unsigned char nameBytes[16] = {};  // header bytes 0x00..0x0F
  int nameLength = 0;                // bytes before the first NUL (16: none)
  int media = -1;
  const char* mediaType = nullptr;  // "2D" ... or null for an unknown byte
  int writeProtect = -1;
  std::vector<Track> tracks;  // those with a table entry, by index
  std::string geometry;       // "40 cylinders x 2 sides; track 0: 16 x 256 bytes; ..."
  Known known = Known::NONE;
  std::string label;             // the label sector's bytes 1..16 as read (when the sector was there)
  bool labelSector = false;      // track 0 holds sector C 0 H 0 R 1 N 1
  std::vector<FileCheck> files;  // the system disk's seven files
  // For each file, the record (1-based, in its track's stored order) of each
  // of its sectors: the first record with that ID and size code 3, as a
  // lookup finds it; 0 where the track's sectors by the rule above hold none.
  std::vector<std::vector<int>> fileRecords;
  std::vector<Warning> warnings;
};

struct Report {
  std::string path;
  std::int64_t size = -1;
  bool d88 = false;
  std::string notD88;  // why not, when d88 is false
  std::vector<Disk> disks;
  std::vector<Warning> warnings;  // of the image itself
  std::string verdict;            // one line for the whole image
};

// Inspects the image open in `reader`, shown as `path`.
Report inspect(d88::D88Image& reader, const std::string& path);

// `bytes` with printable ASCII as it is and every other byte, quote and
// backslash escaped (\xNN, \", \\): any name reads the same on any terminal.
std::string escaped(const std::string& bytes);

}  // namespace d88info

#endif  // INFO_ANALYSIS_H
