// Whether a file is a D88 image at all, and why not.
#ifndef INFO_NOT_D88_H
#define INFO_NOT_D88_H

#include <cstdint>

#include "d88/d88_image.h"

namespace d88info {

struct NotD88 {
  enum Kind {
    NONE,               // it is a D88 image
    TOO_SHORT,          // fewer bytes than a disk header
    HEADER_UNREADABLE,  // the first header cannot be read
    MEDIA_AND_SIZE,     // an unknown media byte and a disk size no disk has
    NOTHING_LEADS,      // none of its table entries leads to a sector record
    EMPTY_TABLE,        // an empty track table, and a disk size that is not the file's
  };
  Kind kind = NONE;
  std::int64_t fileSize = 0;
  int media = -1;
  std::int64_t diskSize = 0;
  int entries = 0;  // NOTHING_LEADS: the table entries that are set
};

// A file is a D88 image when its first header agrees with the file (a known
// media byte and a disk size equal to the file's length, or disk sizes that
// chain exactly to its end), when a track-table entry past the header leads
// to well-formed sector records, or when d88cut recognises one of its disks.
// An entry inside the header proves nothing. Leaves no disk selected.
NotD88 checkD88(d88::D88Image& reader);

}  // namespace d88info

#endif  // INFO_NOT_D88_H
