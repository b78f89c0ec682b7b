#include <cinttypes>
#include <cstdio>

#include "d88/shift_jis.h"
#include "info/render.h"
#include "info/text_format.h"
#include "info/wording.h"

namespace d88info {
namespace {

// Past this much text the remaining disks are shown one line each, so that
// no image makes the default report large.
constexpr std::size_t FULL_BLOCKS_UP_TO = 40000;

std::string name(const Disk& d, bool unicode) {
  const std::string bytes(reinterpret_cast<const char*>(d.nameBytes), static_cast<std::size_t>(d.nameLength));
  return "\"" + (unicode ? d88::shiftJisToUtf8(bytes, d88::Undecodable::ESCAPE) : escaped(bytes)) + "\"";
}

std::string trackLine(const Track& t) {
  std::string out = format("    track %3d", t.index);
  if (t.offset < 0) return out + format(": entry 0x%08" PRIX32 ", cannot be read\n", t.entry);
  out += format(" at 0x%" PRIX64 ": ", static_cast<std::uint64_t>(t.offset));
  if (t.sameAs >= 0) return out + format("same as track %d\n", t.sameAs);
  if (t.empty) return out + "empty (first record says 0 sectors)\n";
  if (t.sectors.empty()) return out + "no sector\n";
  int rLow = 255, rHigh = 0, cLow = 255, cHigh = 0, hLow = 255, hHigh = 0;
  for (const Sector& s : t.sectors) {
    rLow = std::min<int>(rLow, s.r), rHigh = std::max<int>(rHigh, s.r);
    cLow = std::min<int>(cLow, s.c), cHigh = std::max<int>(cHigh, s.c);
    hLow = std::min<int>(hLow, s.h), hHigh = std::max<int>(hHigh, s.h);
  }
  auto span = [](const char* what, int low, int high) {
    return low == high ? format("%s %d", what, low) : format("%s %d-%d", what, low, high);
  };
  return out +
         format("%zu sector%s, %s, ", t.sectors.size(), t.sectors.size() == 1 ? "" : "s",
                layoutText(t.layout).c_str()) +
         span("R", rLow, rHigh) + ", " + span("C", cLow, cHigh) + " " + span("H", hLow, hHigh) + "\n";
}

std::string sectorLines(const Track& t) {
  std::string out;
  for (std::size_t i = 0; i < t.sectors.size(); ++i) {
    const Sector& s = t.sectors[i];
    out += format("    track %d sector %zu: C %d H %d R %d N %d, %d bytes", t.index, i + 1, s.c, s.h, s.r, s.n,
                  static_cast<int>(s.size));
    if (s.deleted != 0) out += format(", deleted data (0x%02X)", s.deleted);
    if (s.status != 0) out += format(", status 0x%02X", s.status);
    out += "\n";
  }
  return out;
}

std::string diskBlock(const Disk& d, const TextOptions& options) {
  std::string out = format("\ndisk %d", d.number);
  if (!d.headerRead)
    return out + ": the header cannot be read\n" + "  warning: " + warningText(d.warnings.front()) + "\n";
  out += format(" at offset %" PRId64 " (0x%" PRIX64 ")\n", d.offset, static_cast<std::uint64_t>(d.offset));
  out += "  name           " + name(d, options.unicode) + "\n";
  out += format("  media          %s (0x%02X)\n", d.mediaType != nullptr ? d.mediaType : "unknown", d.media);
  out += "  write protect  " + writeProtectText(d.writeProtect) + "\n";
  out += format("  size           %" PRId64 " bytes, %s\n", d.size, fitText(d).c_str());
  out += "  geometry       " + geometryText(d.geometry) + "\n";
  out += "  file system    " + fileSystemText(d) + "\n";
  out += "  known disk     " + knownDiskText(d) + "\n";
  for (const FileCheck& f : d.files)
    out += format("    %-8s %5d bytes  %s\n", f.name, f.size, describeFileCheck(f).c_str());
  if (options.tracks || options.sectors) {
    for (const Track& t : d.tracks) {
      out += trackLine(t);
      if (options.sectors) out += sectorLines(t);
    }
  }
  for (const Warning& w : d.warnings) out += "  warning: " + warningText(w) + " [" + codeName(w.code) + "]\n";
  return out;
}

std::string diskLine(const Disk& d, bool unicode) {
  const char* known = d.known == Known::SYSTEM  ? "the system disk"
                      : d.known == Known::MAKER ? "the maker disk"
                                                : "no known disk";
  return format("disk %d at offset %" PRId64 ": %s, %s, %zu warning%s\n", d.number, d.offset, name(d, unicode).c_str(),
                known, d.warnings.size(), d.warnings.size() == 1 ? "" : "s");
}

}  // namespace

std::string renderText(const Report& report, const TextOptions& options) {
  std::string out = verdictText(report) + "\n";
  if (!report.d88) return out;
  const bool listing = options.tracks || options.sectors;
  bool shortened = false;
  for (const Disk& d : report.disks) {
    if (!listing && !shortened && out.size() > FULL_BLOCKS_UP_TO) {
      out += "\n(the remaining disks one line each)\n";
      shortened = true;
    }
    out += shortened ? diskLine(d, options.unicode) : diskBlock(d, options);
  }
  if (!report.warnings.empty()) out += "\n";
  for (const Warning& w : report.warnings) out += "warning: " + warningText(w) + " [" + codeName(w.code) + "]\n";
  return out;
}

}  // namespace d88info
