#include "info/codes.h"

namespace d88info {
namespace {

// Titles say what users search for; the first place and any detail follow.
const CodeInfo CODES[CODE_COUNT] = {
    {"trailing-bytes", "bytes after the last disk image", Scope::NONE, "bytes", "offset"},
    {"more-than-64-disks", "more than 64 disk images", Scope::NONE, "offset", nullptr},
    {"disk-size-negative", "disk size reads as negative", Scope::NONE, "disk_size", "next_offset"},
    {"header-unreadable", "the disk header cannot be read", Scope::NONE, nullptr, nullptr},
    {"disk-size-zero", "disk size 0", Scope::NONE, nullptr, nullptr},
    {"disk-size-below-header", "disk size smaller than the disk header", Scope::NONE, "disk_size", nullptr},
    {"disk-size-past-end", "disk size runs past the end of the file", Scope::NONE, "bytes_past_end", nullptr},
    {"media-type-unknown", "unknown media type", Scope::NONE, "media", nullptr},
    {"media-type-mismatch", "media type does not match the tracks", Scope::NONE, "media", "tracks"},
    {"name-runs-on", "disk name runs on into the reserved bytes", Scope::NONE, nullptr, nullptr},
    {"short-track-table", "160-entry track table", Scope::NONE, "first_track_offset", nullptr},
    {"track-entry-unused-mark", "track-table entry 0xFFFFFFFF (an \"unused\" mark), read as absent", Scope::TRACK,
     nullptr, nullptr},
    {"track-entry-negative", "track-table entry reads as negative, the track cannot be read", Scope::TRACK, nullptr,
     nullptr},
    {"track-entry-past-disk", "track-table entry past the disk size, the track cannot be read", Scope::TRACK, "entry",
     nullptr},
    {"track-entry-past-32-bits", "track position past the 32-bit range, the track cannot be read", Scope::TRACK,
     nullptr, nullptr},
    {"track-entry-in-header", "track-table entry points into the disk header", Scope::TRACK, "entry", nullptr},
    {"shared-track-offset", "tracks at the same offset as an earlier track (analysed once)", Scope::TRACK,
     "same_as_track", "entry"},
    {"empty-track", "empty track (first record says 0 sectors)", Scope::TRACK, nullptr, nullptr},
    {"track-at-end-of-file", "track starts at the end of the file, no sector", Scope::TRACK, nullptr, nullptr},
    {"sector-count-too-high", "sector count higher than the sectors the track holds", Scope::TRACK, "says", "holds"},
    {"sector-count-varies", "sector count differs from the track's first record", Scope::RECORD, "says",
     "first_record_says"},
    {"zero-count-record", "record says 0 sectors and ends its track early", Scope::RECORD, nullptr, nullptr},
    {"record-cut", "sector record cut by the end of the file", Scope::TRACK, nullptr, nullptr},
    {"duplicate-sector-id", "duplicate sector ID", Scope::RECORD, "same_as_record", nullptr},
    {"id-track-mismatch", "sector ID (C, H) does not match its track", Scope::RECORD, "usual_c", "usual_h"},
    {"size-code-invalid", "size code N is no sector size", Scope::RECORD, nullptr, nullptr},
    {"data-size-mismatch", "data size differs from the size code (128 << N)", Scope::RECORD, "data_size",
     "nominal_size"},
    {"deleted-data", "deleted data", Scope::RECORD, "mark", nullptr},
    {"crc-error", "CRC error", Scope::RECORD, "status", nullptr},
    {"sector-status", "FDC error status", Scope::RECORD, "status", nullptr},
    {"data-cut", "sector data cut by the end of the file", Scope::RECORD, "holds", "of"},
    {"data-past-disk", "sector data runs past the disk size", Scope::RECORD, nullptr, nullptr},
};

}  // namespace

const CodeInfo& codeInfo(Code code) {
  const int i = static_cast<int>(code);
  return CODES[i >= 0 && i < CODE_COUNT ? i : 0];
}

}  // namespace d88info
