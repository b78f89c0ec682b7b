#include "info/not_d88.h"

#include "tool/identify.h"

namespace d88info {
namespace {

// The first track of a 160-entry table starts at 0x2A0, inside the 688
// bytes of a full header; any other track starts after the header.
constexpr std::uint32_t SHORT_TABLE_START = 0x2A0;
// More sectors than any track of these disks holds.
constexpr int MAX_SECTORS_PER_TRACK = 64;

bool trackStart(std::uint32_t entry) {
  return entry == SHORT_TABLE_START ||
         (entry >= static_cast<std::uint32_t>(d88::DISK_HEADER_SIZE) && entry <= static_cast<std::uint32_t>(INT32_MAX));
}

// A record as a disk writer writes it: a size code a controller formats, a
// sector count a track can hold, and a data size no larger than such a
// sector.
bool plausible(const d88::SectorRecord& r) {
  return r.n <= d88::MAX_FORMAT_SIZE_CODE && r.count >= 1 && r.count <= MAX_SECTORS_PER_TRACK &&
         r.dataSize <= 128 << d88::MAX_FORMAT_SIZE_CODE;
}

// True when the entry of a track leads to well-formed records: a first
// record whose data size is its size code's, and, when it says there are
// more, a second plausible one right after it. (An unformatted track's
// record of zeros proves nothing: other files are full of zeros. A disk of
// such tracks only is known by its header, which agrees with the file.)
bool leadsToRecords(d88::D88Image& reader, std::uint32_t entry) {
  d88::SectorRecord first;
  if (!reader.readRecordAt(entry, first)) return false;
  if (!plausible(first) || first.dataSize != d88::nominalSectorSize(first.n)) return false;
  if (first.count == 1) return true;
  d88::SectorRecord second;
  return reader.readRecordAt(entry + d88::SECTOR_RECORD_SIZE + first.dataSize, second) && plausible(second);
}

// True when the disk sizes, from the first header on, lead exactly to the
// end of the file, each at least a header long.
bool chainsToTheEnd(d88::D88Image& reader, std::int64_t fileSize) {
  std::int64_t position = 0;
  for (int i = 0; i < reader.diskCount(); ++i) {
    if (!reader.selectDisk(i) || reader.diskOffset() != position) return false;
    if (reader.diskSize() < d88::DISK_HEADER_SIZE) return false;
    position += reader.diskSize();
    if (position == fileSize) return true;
  }
  return false;
}

bool anyKnownDisk(d88::D88Image& reader) {
  unsigned char label[LABEL_SECTOR_SIZE];
  for (int i = 0; i < reader.diskCount(); ++i) {
    if (reader.selectDisk(i) && identifyDisk(reader, label) != KnownDisk::None) return true;
  }
  return false;
}

NotD88 judge(d88::D88Image& reader) {
  NotD88 out;
  out.fileSize = reader.fileSize();
  if (out.fileSize < d88::DISK_HEADER_SIZE) {
    out.kind = NotD88::TOO_SHORT;
    return out;
  }
  if (!reader.selectDisk(0)) {
    out.kind = NotD88::HEADER_UNREADABLE;
    return out;
  }
  out.media = reader.mediaType();
  out.diskSize = reader.diskSize();
  const bool knownMedia = d88::mediaTypeName(out.media) != nullptr;
  if (knownMedia && out.diskSize == out.fileSize) return NotD88{};
  for (int t = 0; t < d88::TRACK_COUNT; ++t) {
    const std::uint32_t entry = reader.trackEntry(t);
    if (entry == 0) continue;
    ++out.entries;
    if (trackStart(entry) && leadsToRecords(reader, entry)) {
      return NotD88{};
    }
  }
  if (chainsToTheEnd(reader, out.fileSize) || anyKnownDisk(reader)) return NotD88{};
  if (!knownMedia && (out.diskSize < d88::DISK_HEADER_SIZE || out.diskSize > 2 * out.fileSize)) {
    out.kind = NotD88::MEDIA_AND_SIZE;
  } else if (out.entries > 0) {
    out.kind = NotD88::NOTHING_LEADS;
  } else {
    out.kind = NotD88::EMPTY_TABLE;
  }
  return out;
}

}  // namespace

NotD88 checkD88(d88::D88Image& reader) {
  const NotD88 out = judge(reader);
  reader.selectDisk(-1);
  return out;
}

}  // namespace d88info
