// The kinds of fault the inspection reports: a stable name (the code) for
// each, the English title users search for, and the names of the values
// each warning carries. The order is the order of the report.
#ifndef INFO_CODES_H
#define INFO_CODES_H

namespace d88info {

enum class Code {
  // the image
  TRAILING_BYTES,
  MORE_THAN_64_DISKS,
  DISK_SIZE_NEGATIVE,
  // a disk's header
  HEADER_UNREADABLE,
  DISK_SIZE_ZERO,
  DISK_SIZE_BELOW_HEADER,
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

// Where a warning's first place is: nowhere (the image or a header), a
// track, or a record of a track.
enum class Scope { NONE, TRACK, RECORD };

struct CodeInfo {
  const char* name;   // kebab-case: "duplicate-sector-id"
  const char* title;  // "duplicate sector ID"
  Scope scope;
  // The names of the warning's two values (Warning::a, Warning::b) as the
  // JSON view gives them; null where the code has none.
  const char* a;
  const char* b;
};

const CodeInfo& codeInfo(Code code);
inline const char* codeName(Code code) { return codeInfo(code).name; }

}  // namespace d88info

#endif  // INFO_CODES_H
