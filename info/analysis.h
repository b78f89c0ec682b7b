// The inspection of a D88 image: what it holds, whether d88cut cuts its
// files whole, and what is wrong with it, found once and returned as values.
// It holds no sentence: wording.h words the values, and the text and JSON
// views (render.h) show them.
//
// The sectors of a track: the reader's LOOKUP walk (d88/d88_image.h), which
// d88cut's lookups follow, cut short before a record that starts at or after
// the next track's start or the disk's end. A track whose first record says
// 0 sectors is empty (unformatted). Tracks that share one offset are
// analysed once.
#ifndef INFO_ANALYSIS_H
#define INFO_ANALYSIS_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "fs/filesystem.h"
#include "info/codes.h"
#include "info/not_d88.h"
#include "tool/identify.h"
#include "tool/recipe.h"

namespace d88info {

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

// `count` sectors of `size` bytes.
struct SizeCount {
  int count;
  int size;
  bool operator==(const SizeCount& o) const { return count == o.count && size == o.size; }
};

// One kind of fault on one disk (or on the image): how often it was seen,
// on which tracks, its first place, and the values its sentence needs.
struct Warning {
  Code code;
  std::int64_t count = 0;
  std::vector<int> tracks;  // ascending; empty for faults of no track
  int track = -1;           // first place: track index, -1 for none
  int record = 0;           // first place: 1-based record of that track, 0 for none
  bool hasSector = false;   // the first place is a record: its ID and sizes
  Sector sector{};
  // The code's two values, named by codeInfo(code).a and .b.
  std::int64_t a = 0, b = 0;
  // name-runs-on: the name and the bytes that follow it.
  std::string name, bytes;
  // media-type-mismatch: the media the tracks look like, and the fullest
  // track's sector sizes.
  int looksLike = -1;
  std::vector<SizeCount> fullest;
  // disk-size-negative: the disks (1-based) whose size reads as negative.
  std::vector<int> disks;
};

struct Track {
  int index;
  std::uint32_t entry;            // the table entry
  std::int64_t offset = -1;       // absolute file offset of its first record
  int sameAs = -1;                // an earlier track at the same offset, analysed in its place
  bool empty = false;             // the first record says 0 sectors
  std::vector<Sector> sectors;    // by the rule above
  std::int64_t bytes = 0;         // data bytes of its sectors
  std::vector<SizeCount> layout;  // its sector sizes, largest first
};

// How a run of tracks looks in the geometry.
struct GeometryGroup {
  enum Kind { SECTORS, EMPTY, UNREADABLE };
  int first, last;  // track indices
  int step;         // 1, or 2 for the even slots of a single-sided disk
  Kind kind;
  std::vector<SizeCount> layout;  // SECTORS: the sector sizes
};

struct Geometry {
  int cylinders = 0;  // 0: no formatted track
  int sides = 2;
  bool evenSlots = false;  // single-sided, every track on an even table slot
  std::vector<GeometryGroup> groups;
  bool more = false;  // groups past the ones kept
};

// How the disk-size field fits the file.
enum class Fit {
  NEGATIVE,    // reads as negative; fitBytes: where the walk reads next, -1 when it ends
  NEXT_DISK,   // the next disk image starts there
  AT_END,      // ends at the end of the file
  PAST_END,    // runs fitBytes past the end of the file
  BEFORE_END,  // ends fitBytes before the end of the file
};

enum class Known { NONE, SYSTEM, MAKER };

// What the label sector says, for a disk that is no known disk.
enum class LabelState {
  KNOWN,      // the label of a known disk
  NO_SECTOR,  // track 0 has no sector C 0 H 0 R 1 N 1
  TOO_SHORT,  // the sector is too short to hold a label
  UNIFORM,    // its label bytes are all one byte (labelByte)
  TEXT,       // other bytes (label)
};

struct Disk {
  int number;  // 1-based
  std::int64_t offset;
  bool headerRead = false;
  std::int64_t size = 0;  // the disk-size field, signed as the reader reads it
  Fit fit = Fit::AT_END;
  std::int64_t fitBytes = 0;
  unsigned char nameBytes[16] = {};  // header bytes 0x00..0x0F
  int nameLength = 0;                // bytes before the first NUL (16: none)
  int media = -1;
  const char* mediaType = nullptr;  // "2D" ... or null for an unknown byte
  int writeProtect = -1;            // the raw byte
  std::vector<Track> tracks;        // those with a table entry, by index
  Geometry geometry;
  Known known = Known::NONE;
  LabelState labelState = LabelState::NO_SECTOR;
  std::string label;  // the label sector's bytes 1..16 as read (when the sector was there)
  int labelByte = -1;
  std::vector<FileCheck> files;  // the system disk's seven files
  // For each file, the record (1-based, in its track's LOOKUP walk) of each
  // of its sectors and of each sector it needs that is cut short, as the
  // reader's lookup finds it; 0 where it finds none.
  std::vector<std::vector<int>> fileRecords;
  std::vector<std::vector<int>> failedRecords;
  // The disk's own file system and its files.
  d88fs::Listing filesystem;
  std::vector<Warning> warnings;
};

// What the verdict needs of a disk, kept for every disk even when the disks
// themselves are handed on one at a time.
struct DiskSummary {
  int number;
  Known known;
  std::size_t warnings;
  std::vector<FileCheck> files;
};

struct Report {
  std::string path;
  std::int64_t size = -1;
  bool d88 = false;
  NotD88 notD88;            // why not, when d88 is false
  std::vector<Disk> disks;  // empty when they were handed to a visitor
  std::vector<DiskSummary> summaries;
  std::vector<Warning> warnings;  // of the image itself
};

// What a user gets from d88cut: every file of every system disk whole, some
// not whole, nothing cut (no system disk), or no D88 image at all.
enum class Outcome { ALL_WHOLE, PARTIAL, NONE, NOT_D88 };
Outcome outcomeOf(const Report& report);
// "all-whole", "partial", "none", "not-d88".
const char* outcomeName(Outcome outcome);

// Inspects disk `index` (0-based) of the image open in `reader` alone, as
// inspect() does among all of them.
Disk inspectDisk(d88::D88Image& reader, int index);

// Inspects the image open in `reader`, shown as `path`. With `onDisk`, each
// disk is handed to it as soon as it is inspected and not kept in the
// report, so memory stays that of one disk.
Report inspect(d88::D88Image& reader, const std::string& path,
               const std::function<void(const Disk&)>& onDisk = nullptr);

}  // namespace d88info

#endif  // INFO_ANALYSIS_H
