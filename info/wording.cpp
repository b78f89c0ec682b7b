#include "info/wording.h"

#include <cinttypes>

#include "info/text_format.h"

namespace d88info {
namespace {

constexpr int MAX_RANGES_SHOWN = 16;
constexpr int MAX_LAYOUT_KINDS = 3;

const char* statusName(std::int64_t status) {
  switch (status) {
    case 0x10: return "deleted data";
    case 0xA0: return "ID CRC error";
    case 0xB0: return "data CRC error";
    case 0xE0: return "no address mark";
    case 0xF0: return "no data mark";
    default: return "unknown status";
  }
}

std::string plural(std::int64_t n, const char* one, const char* many) {
  return format("%" PRId64 " %s", n, n == 1 ? one : many);
}

std::string mediaText(std::int64_t media) {
  const char* name = d88::mediaTypeName(static_cast<int>(media));
  return name != nullptr ? name : "unknown";
}

std::string idText(const Sector& s) { return format("C %d H %d R %d N %d", s.c, s.h, s.r, s.n); }

}  // namespace

std::string escaped(const std::string& bytes) {
  std::string out;
  for (const char ch : bytes) {
    const unsigned char byte = static_cast<unsigned char>(ch);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += ch;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += ch;
    } else {
      out += format("\\x%02X", byte);
    }
  }
  return out;
}

std::string rangesText(const std::vector<int>& values) {
  std::string out;
  int shown = 0;
  for (std::size_t i = 0; i < values.size();) {
    std::size_t j = i;
    while (j + 1 < values.size() && values[j + 1] == values[j] + 1) ++j;
    if (shown == MAX_RANGES_SHOWN) {
      out += format(", ... (%zu more tracks)", values.size() - i);
      break;
    }
    if (!out.empty()) out += ", ";
    out += j == i ? format("%d", values[i]) : format("%d-%d", values[i], values[j]);
    ++shown;
    i = j + 1;
  }
  return out;
}

std::string layoutText(const std::vector<SizeCount>& layout) {
  std::string out;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    if (i == MAX_LAYOUT_KINDS) {
      out += ", ...";
      break;
    }
    out += format("%s%d x %d", out.empty() ? "" : ", ", layout[i].count, layout[i].size);
  }
  return out + " bytes";
}

std::string warningText(const Warning& w) {
  const std::string title = codeInfo(w.code).title;
  const std::string onTracks =
      w.tracks.size() == 1 ? "track " + rangesText(w.tracks) : "tracks " + rangesText(w.tracks);
  const std::string firstRecord = format("track %d record %d (%s)", w.track, w.record, idText(w.sector).c_str());
  auto records = [&](const std::string& what) {
    return title + ": " + plural(w.count, "record", "records") + " on " + onTracks + "; first " + firstRecord + what;
  };
  auto tracks = [&](const std::string& what) { return title + ": " + onTracks + what; };
  auto detail = [&](const std::string& what) { return title + ": " + what; };
  switch (w.code) {
    case Code::TRAILING_BYTES: return detail(format("%" PRId64 " bytes from offset %" PRId64, w.a, w.b));
    case Code::MORE_THAN_64_DISKS:
      return detail(
          format("more disk images follow the 64th, from offset %" PRId64 "; d88cut reads only the first 64", w.a));
    case Code::DISK_SIZE_NEGATIVE: {
      std::string out =
          detail(w.disks.size() == 1 ? format("disk %d", w.disks.front()) : "disks " + rangesText(w.disks));
      out += format("; first disk %d, 0x%08" PRIX64 ": ", w.disks.empty() ? 0 : w.disks.front(), w.a);
      if (w.b < 0) return out + "the walk over the disks ends here";
      return out + format("the walk over the disks goes back and reads the next header at offset %" PRId64, w.b);
    }
    case Code::HEADER_UNREADABLE: return title;
    case Code::DISK_SIZE_ZERO: return detail("the walk over the disks reads this header again and again");
    case Code::DISK_SIZE_BELOW_HEADER: return detail(format("%" PRId64 " bytes", w.a));
    case Code::DISK_SIZE_PAST_END:
      return detail(format("by %" PRId64 " bytes: the file is cut short, or the size is wrong", w.a));
    case Code::MEDIA_TYPE_UNKNOWN:
      return detail(format("0x%02" PRIX64 " is none of 2D (0x00), 2DD (0x10), 2HD (0x20), 1D (0x30), 1DD (0x40)", w.a));
    case Code::MEDIA_TYPE_MISMATCH:
      return detail(format("the byte says %s (0x%02" PRIX64 "), but the tracks look like %s: %s, the fullest holding ",
                           mediaText(w.a).c_str(), w.a, mediaText(w.looksLike).c_str(),
                           plural(w.b, "track", "tracks").c_str()) +
                    layoutText(w.fullest));
    case Code::NAME_RUNS_ON: return detail("\"" + escaped(w.name) + "\" is followed by \"" + escaped(w.bytes) + "\"");
    case Code::SHORT_TRACK_TABLE:
      return detail(format("the first track starts at 0x%" PRIX64 ", so entries %" PRId64
                           "-%d hold sector data and are not read as tracks",
                           w.a, (w.a - 0x20) / 4, d88::TRACK_COUNT - 1));
    case Code::TRACK_ENTRY_UNUSED_MARK:
    case Code::TRACK_ENTRY_NEGATIVE:
    case Code::TRACK_ENTRY_PAST_32_BITS:
    case Code::EMPTY_TRACK:
    case Code::TRACK_AT_END_OF_FILE: return tracks("");
    case Code::TRACK_ENTRY_PAST_DISK:
    case Code::TRACK_ENTRY_IN_HEADER: return tracks(format("; first track %d, entry 0x%" PRIX64, w.track, w.a));
    case Code::SHARED_TRACK_OFFSET:
      return tracks(
          format("; first track %d, at the offset of track %" PRId64 " (entry 0x%" PRIX64 ")", w.track, w.a, w.b));
    case Code::SECTOR_COUNT_TOO_HIGH: {
      std::string out = tracks(
          format("; first track %d says %" PRId64 " (0x%04" PRIX64 ") and holds %" PRId64, w.track, w.a, w.a, w.b));
      const std::int64_t swapped = ((w.a & 0xFF) << 8) | (w.a >> 8);
      if (swapped == w.b) out += format(": stored byte-swapped (0x%04" PRIX64 " is %" PRId64 ")", w.a, swapped);
      return out;
    }
    case Code::SECTOR_COUNT_VARIES:
      return records(format(" says %" PRId64 " where its first record says %" PRId64, w.a, w.b));
    case Code::ZERO_COUNT_RECORD:
    case Code::SIZE_CODE_INVALID:
    case Code::DATA_PAST_DISK: return records("");
    case Code::RECORD_CUT: return title + ": " + onTracks + format("; first track %d record %d", w.track, w.record);
    case Code::DUPLICATE_SECTOR_ID:
      return records(format(", the same ID as record %" PRId64 ": d88cut reads only the first", w.a));
    case Code::ID_TRACK_MISMATCH: return records(format(", where C %" PRId64 " H %" PRId64 " is usual", w.a, w.b));
    case Code::DATA_SIZE_MISMATCH:
      return records(format(" holds %" PRId64 " bytes, where N %d means %" PRId64, w.a, w.sector.n, w.b));
    case Code::DELETED_DATA: return records(format(", mark 0x%02" PRIX64, w.a));
    case Code::CRC_ERROR:
    case Code::SECTOR_STATUS: return records(format(", status 0x%02" PRIX64 " (%s)", w.a, statusName(w.a)));
    case Code::DATA_CUT: return records(format(" holds %" PRId64 " of %" PRId64 " bytes", w.a, w.b));
    case Code::COUNT_: break;
  }
  return title;
}

std::string fitText(const Disk& d) {
  switch (d.fit) {
    case Fit::NEGATIVE:
      return d.fitBytes < 0 ? "reads as negative: the walk over the disks ends here"
                            : format(
                                  "reads as negative: the walk over the disks goes back and reads the next header "
                                  "at offset %" PRId64,
                                  d.fitBytes);
    case Fit::NEXT_DISK: return "the next disk image starts there";
    case Fit::AT_END: return "ends at the end of the file";
    case Fit::PAST_END: return format("runs %" PRId64 " bytes past the end of the file", d.fitBytes);
    case Fit::BEFORE_END: return format("ends %" PRId64 " bytes before the end of the file", d.fitBytes);
  }
  return "";
}

std::string geometryText(const Geometry& g) {
  std::string out = g.cylinders == 0 ? "no formatted track"
                                     : format("%d cylinder%s x %d side%s", g.cylinders, g.cylinders == 1 ? "" : "s",
                                              g.sides, g.sides == 1 ? "" : "s");
  if (g.evenSlots) out += " (tracks on even table slots)";
  for (const GeometryGroup& group : g.groups) {
    out += group.first == group.last ? format("; track %d: ", group.first)
                                     : format("; tracks %d-%d: ", group.first, group.last);
    switch (group.kind) {
      case GeometryGroup::SECTORS: out += layoutText(group.layout); break;
      case GeometryGroup::EMPTY: out += "empty"; break;
      case GeometryGroup::UNREADABLE: out += "unreadable"; break;
    }
  }
  if (g.more) out += "; ...";
  return out;
}

std::string knownDiskText(const Disk& d) {
  switch (d.known) {
    case Known::SYSTEM: return "the system disk; d88cut cuts these files:";
    case Known::MAKER: return "the maker disk; d88cut recognises it and cuts nothing from it";
    case Known::NONE: break;
  }
  switch (d.labelState) {
    case LabelState::NO_SECTOR: return "none; track 0 has no sector C 0 H 0 R 1 N 1, where the label would be";
    case LabelState::TOO_SHORT: return "none; the label sector is too short to hold a label";
    case LabelState::UNIFORM:
      return format("none; the label bytes are all 0x%02X%s", d.labelByte,
                    d.labelByte == 0xE5 ? " (formatted, never written)" : "");
    case LabelState::TEXT:
    case LabelState::KNOWN: break;
  }
  return "none; the label bytes say \"" + escaped(d.label) + "\"";
}

std::string fileSystemText(const Disk& d) {
  const d88fs::Listing& l = d.filesystem;
  if (l.kind == d88fs::FsKind::NONE) return "none found (d88ls IMAGE says why)";
  std::size_t files = 0, folders = 0;
  for (const d88fs::FileEntry& f : l.files) (f.directory ? folders : files) += 1;
  std::string out =
      std::string(d88fs::fsName(l.kind)) + ", " + plural(static_cast<std::int64_t>(files), "file", "files");
  if (folders > 0) out += ", " + plural(static_cast<std::int64_t>(folders), "folder", "folders");
  if (!l.warnings.empty()) out += ", " + plural(static_cast<std::int64_t>(l.warnings.size()), "fault", "faults");
  return out + " (d88ls lists them)";
}

std::string writeProtectText(int value) {
  if (value == 0) return "off";
  if (value == d88::WRITE_PROTECT_ON) return "on";
  return format("0x%02X (neither off, 0x00, nor on, 0x10)", value);
}

std::string notD88Text(const NotD88& why) {
  switch (why.kind) {
    case NotD88::NONE: return "";
    case NotD88::TOO_SHORT:
      return format("%" PRId64 " bytes, fewer than the %d of a disk header", why.fileSize, d88::DISK_HEADER_SIZE);
    case NotD88::HEADER_UNREADABLE: return "its first disk header cannot be read";
    case NotD88::MEDIA_AND_SIZE:
      return format(
          "its media byte 0x%02X is none of the five D88 media types, and its disk size %" PRId64 " %s", why.media,
          why.diskSize,
          why.diskSize < d88::DISK_HEADER_SIZE ? "is smaller than a disk header" : "lies far past the end of the file");
    case NotD88::NOTHING_LEADS:
      return format("none of its %d track-table entries leads to a sector record", why.entries);
    case NotD88::EMPTY_TABLE:
      if (why.diskSize < d88::DISK_HEADER_SIZE) {
        return format("its disk size %" PRId64 " is smaller than a disk header, and its track table is empty",
                      why.diskSize);
      }
      return format("its track table is empty, and its disk size %" PRId64 " is not the file's %" PRId64 " bytes",
                    why.diskSize, why.fileSize);
  }
  return "";
}

std::string verdictText(const Report& report) {
  const std::string path = escaped(report.path);
  if (!report.d88) return path + ": not a D88 image: " + notD88Text(report.notD88);
  const std::int64_t disks = static_cast<std::int64_t>(report.summaries.size());
  std::string out = path + ": " + plural(disks, "disk", "disks");
  std::string known;
  std::int64_t warnings = static_cast<std::int64_t>(report.warnings.size());
  for (const DiskSummary& d : report.summaries) {
    warnings += static_cast<std::int64_t>(d.warnings);
    if (d.known == Known::SYSTEM) {
      int whole = 0;
      std::string faults;
      for (const FileCheck& f : d.files) {
        if (f.whole) {
          ++whole;
        } else {
          faults += format("%s%s %s", faults.empty() ? "" : ", ", f.name, f.cut ? "incomplete" : "not cut");
        }
      }
      known += format("; disk %d is the system disk: ", d.number);
      known += whole == OUTPUT_FILE_COUNT ? "d88cut cuts all 7 files whole"
                                          : format("d88cut cuts %d of 7 files whole (%s)", whole, faults.c_str());
    } else if (d.known == Known::MAKER) {
      known += format("; disk %d is the maker disk: d88cut cuts nothing from it", d.number);
    }
  }
  out += known.empty() ? (disks == 1 ? "; no known disk: d88cut cuts nothing from it"
                                     : "; no known disk: d88cut cuts nothing from them")
                       : known;
  return out + "; " + plural(warnings, "warning", "warnings");
}

}  // namespace d88info
