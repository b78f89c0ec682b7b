// d88info: shows what a D88 image holds, whether d88cut cuts its files whole,
// and what is wrong with the image, in plain ASCII.
#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "tool/extract.h"

namespace {

constexpr int MAX_LISTED_RECORDS = 65536;
constexpr std::uint32_t UNUSED_ENTRY = 0xFFFFFFFFu;
constexpr int SHORT_TABLE_SIZE = 0x2A0;  // 160 entries, written by some tools

const char USAGE[] =
    "Usage: d88info [--tracks] IMAGE\n"
    "Shows each disk image in a D88 file: name, media type, size, tracks and\n"
    "sectors, which known disk it is, whether d88cut cuts its files whole,\n"
    "and a warning line for every fault found.\n"
    "  --tracks   also list each track's sector IDs in stored order\n"
    "  -h, --help show this text\n"
    "  --version  show the version\n";

#ifdef __GNUC__
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
#endif
std::string format(const char* fmt, ...) {
  char text[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(text, sizeof text, fmt, args);
  va_end(args);
  return text;
}

// Printable ASCII as it is; everything else escaped, so any name reads the
// same on any terminal.
std::string quoted(const char* text, std::size_t size) {
  std::string out = "\"";
  for (std::size_t i = 0; i < size && text[i] != 0; ++i) {
    const unsigned char ch = static_cast<unsigned char>(text[i]);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += static_cast<char>(ch);
    } else if (ch >= 0x20 && ch < 0x7F) {
      out += static_cast<char>(ch);
    } else {
      out += format("\\x%02X", ch);
    }
  }
  return out + "\"";
}

std::string mediaName(int media) {
  switch (media) {
    case 0x00: return "2D (0x00)";
    case 0x10: return "2DD (0x10)";
    case 0x20: return "2HD (0x20)";
    case 0x30: return "1D (0x30)";
    case 0x40: return "1DD (0x40)";
    default: return format("unknown (0x%02X)", media);
  }
}

std::string statusName(int status) {
  switch (status) {
    case 0x10: return "deleted data";
    case 0xA0: return "ID CRC error";
    case 0xB0: return "data CRC error";
    case 0xE0: return "no address mark";
    case 0xF0: return "no data mark";
    default: return "unknown status";
  }
}

std::string ranges(const std::vector<int>& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size();) {
    std::size_t j = i;
    while (j + 1 < values.size() && values[j + 1] == values[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += j == i ? format("%d", values[i]) : format("%d-%d", values[i], values[j]);
    i = j + 1;
  }
  return out;
}

std::string id(const d88::SectorRecord& r) { return format("C %d H %d R %d N %d", r.c, r.h, r.r, r.n); }

// The nominal size of size code n, or -1 where 128 << n is no size at all.
long nominalSize(int n) { return n >= 0 && n <= 23 ? 128L << n : -1; }

struct Track {
  int index;
  std::int64_t offset;                     // absolute
  std::vector<d88::SectorRecord> records;  // as the reader walks them
  int present;                             // records that start before the next track or the disk's end
  bool cutRecord;
};

class Inspector {
 public:
  Inspector(d88::D88Image& reader, bool listTracks) : reader_(reader), listTracks_(listTracks) {}

  void run(const char* path) {
    const int count = reader_.diskCount();
    std::printf("image %s: %" PRId64 " bytes, %d disk image%s\n", path, reader_.fileSize(), count,
                count == 1 ? "" : "s");
    std::int64_t end = 0;
    for (int i = 0; i < count; ++i) end = disk(i, count);
    if (end < 0) {
      // A disk size smaller than a header already has its warning; what
      // follows it cannot be placed.
    } else if (count == 0) {
      warn("image", "no disk image: fewer than 688 bytes for a disk header");
    } else if (count == d88::MAX_DISKS && reader_.fileSize() - end >= d88::DISK_HEADER_SIZE) {
      warn("image",
           format("more disk images follow the 64th, from offset %" PRId64 "; d88cut reads only the first 64", end));
    } else if (end < reader_.fileSize()) {
      warn("image",
           format("%" PRId64 " bytes after the last disk image, from offset %" PRId64, reader_.fileSize() - end, end));
    }
    std::printf("%d warning%s\n", warnings_, warnings_ == 1 ? "" : "s");
  }

 private:
  void warn(const std::string& where, const std::string& what) {
    std::printf("warning: %s: %s\n", where.c_str(), what.c_str());
    ++warnings_;
  }

  // Shows disk i; returns the offset just past it, -1 when its size cannot
  // even cover its own header.
  std::int64_t disk(int i, int count) {
    const std::string name = format("disk %d", i + 1);
    if (!reader_.selectDisk(i)) {
      std::printf("\n%s: the header cannot be read\n", name.c_str());
      warn(name, "the header cannot be read");
      return reader_.fileSize();
    }
    const std::int64_t offset = reader_.diskOffset();
    const std::int64_t size = reader_.diskSize();
    const std::int64_t end = size >= d88::DISK_HEADER_SIZE ? offset + size : -1;
    std::printf("\n%s at offset %" PRId64 " (0x%" PRIX64 ")\n", name.c_str(), offset, offset);
    std::printf("  name           %s\n", quoted(reader_.diskName(), 16).c_str());
    std::printf("  media type     %s\n", mediaName(reader_.mediaType()).c_str());
    std::printf("  write protect  %s (0x%02X)\n",
                reader_.writeProtect() == 0x10 ? "on"
                : reader_.writeProtect() == 0  ? "off"
                                               : "unknown",
                reader_.writeProtect());
    const std::int64_t space = reader_.fileSize() - offset;
    std::string fit;
    if (size < 0) {
      fit = "reads as negative: the walk over the disks ends here";
    } else if (i + 1 < count) {
      fit = "the next disk image starts there";
    } else if (size == space) {
      fit = "matches the end of the file";
    } else if (size > space) {
      fit = format("runs %" PRId64 " bytes past the end of the file", size - space);
    } else {
      fit = format("%" PRId64 " bytes before the end of the file", space - size);
    }
    std::printf("  disk size      %" PRId64 " bytes (0x%" PRIX64 "), %s\n", size,
                static_cast<std::uint64_t>(size) & 0xFFFFFFFFu, fit.c_str());
    if (size < 0)
      warn(name, format("disk size 0x%08" PRIX64 " reads as negative", static_cast<std::uint64_t>(size) & 0xFFFFFFFFu));
    if (size == 0) warn(name, "disk size 0: the walk over the disks reads this header again and again");
    if (size > 0 && size < d88::DISK_HEADER_SIZE)
      warn(name, format("disk size %" PRId64 " is smaller than the disk header", size));
    if (i + 1 == count && size > space)
      warn(name, format("disk size runs %" PRId64 " bytes past the end of the file: cut short?", size - space));

    std::vector<Track> tracks = readTracks(name, size);
    std::vector<int> present;
    std::map<long, int> sizes;
    int sectors = 0;
    for (const Track& t : tracks) {
      present.push_back(t.index);
      for (int k = 0; k < t.present; ++k) {
        ++sizes[t.records[static_cast<std::size_t>(k)].dataSize];
        ++sectors;
      }
    }
    std::printf("  tracks         %zu%s%s\n", tracks.size(), tracks.empty() ? "" : ": ", ranges(present).c_str());
    std::string sizeText;
    for (const auto& [bytes, number] : sizes)
      sizeText += format("%s%d x %ld bytes", sizeText.empty() ? "" : ", ", number, bytes);
    std::printf("  sectors        %d%s%s\n", sectors, sizeText.empty() ? "" : ": ", sizeText.c_str());

    unsigned char label[LABEL_SECTOR_SIZE];
    int got = 0;
    const KnownDisk known = identifyDisk(reader_, label, &got);
    if (known == KnownDisk::System) {
      std::printf("  known disk     system disk\n");
      checkFiles();
    } else if (known == KnownDisk::Maker) {
      std::printf("  known disk     maker disk (nothing is cut from it)\n");
    } else if (got == 0) {
      std::printf("  known disk     neither (track 0 has no sector C 0 H 0 R 1 N 1)\n");
    } else {
      std::printf("  known disk     neither (label %s)\n",
                  got > LABEL_OFFSET ? quoted(reinterpret_cast<const char*>(label) + LABEL_OFFSET,
                                              static_cast<std::size_t>(std::min(LABEL_SIZE, got - LABEL_OFFSET)))
                                           .c_str()
                                     : "\"\"");
    }
    if (listTracks_) showTracks(tracks);
    checkTracks(name, tracks, size);
    return end;
  }

  std::vector<Track> readTracks(const std::string& name, std::int64_t size) {
    // Writers with a 160-entry table start the first track at 0x2A0; the
    // last four "entries" are then sector data, and are not looked at.
    std::uint32_t lowest = 0;
    for (int t = 0; t < (SHORT_TABLE_SIZE - 0x20) / 4; ++t) {
      const std::uint32_t entry = reader_.trackEntry(t);
      if (entry != 0 && entry <= 0x7FFFFFFFu && entry <= size && (lowest == 0 || entry < lowest)) lowest = entry;
    }
    const int tableEntries = lowest == SHORT_TABLE_SIZE ? (SHORT_TABLE_SIZE - 0x20) / 4 : d88::TRACK_COUNT;
    if (tableEntries < d88::TRACK_COUNT) {
      warn(name,
           format("the first track starts at 0x%X: a %d-entry track table (%d bytes); entries %d-%d hold sector data",
                  SHORT_TABLE_SIZE, tableEntries, SHORT_TABLE_SIZE, tableEntries, d88::TRACK_COUNT - 1));
    }
    std::vector<Track> tracks;
    std::vector<d88::SectorRecord> records(MAX_LISTED_RECORDS);
    for (int t = 0; t < tableEntries; ++t) {
      const std::uint32_t entry = reader_.trackEntry(t);
      if (entry == 0) continue;
      const std::string where = format("%s track %d", name.c_str(), t);
      if (entry == UNUSED_ENTRY) {
        warn(where, "table entry 0xFFFFFFFF (an \"unused\" mark): read as absent");
        continue;
      }
      if (entry > 0x7FFFFFFFu) {
        warn(where, format("table entry 0x%08" PRIX32 " reads as negative: the track cannot be read", entry));
        continue;
      }
      if (entry > size) {
        warn(where, format("table entry 0x%" PRIX32 " lies past the disk size 0x%" PRIX64 ": the track cannot be read",
                           entry, size));
        continue;
      }
      const std::int64_t offset = reader_.trackOffset(t);
      if (offset < 0) {
        warn(where, "the track's position lies past the 32-bit range: it cannot be read");
        continue;
      }
      bool cut = false;
      const int n = reader_.readTrackRecords(t, records.data(), MAX_LISTED_RECORDS, &cut);
      Track track{t, offset, std::vector<d88::SectorRecord>(records.begin(), records.begin() + n), n, cut};
      tracks.push_back(std::move(track));
    }
    // A track ends where the next track in the file starts, or at the disk's end.
    const std::int64_t diskEnd = reader_.diskOffset() + size;
    for (Track& t : tracks) {
      std::int64_t boundary = diskEnd;
      for (const Track& other : tracks) {
        if (other.offset > t.offset && other.offset < boundary) boundary = other.offset;
      }
      int k = 0;
      while (k < static_cast<int>(t.records.size()) && t.records[static_cast<std::size_t>(k)].position < boundary) ++k;
      t.present = k;
    }
    return tracks;
  }

  void checkFiles() {
    FileCheck checks[OUTPUT_FILE_COUNT];
    checkSystemDisk(reader_, checks);
    std::printf("  d88cut cuts\n");
    for (const FileCheck& c : checks) {
      std::printf("    %-8s %5d bytes  %s\n", c.name, c.size, describeFileCheck(c).c_str());
    }
  }

  void showTracks(const std::vector<Track>& tracks) {
    for (const Track& t : tracks) {
      std::printf("  track %3d at offset 0x%" PRIX64 ": %d record%s\n", t.index, t.offset, t.present,
                  t.present == 1 ? "" : "s");
      if (t.present > 0) std::printf("      C   H   R   N\n");
      for (int k = 0; k < t.present; ++k) {
        const d88::SectorRecord& r = t.records[static_cast<std::size_t>(k)];
        std::string extra;
        if (r.dataSize != nominalSize(r.n)) extra += format("  data %d bytes", r.dataSize);
        if (r.deleted != 0) extra += format("  deleted mark 0x%02X", r.deleted);
        if (r.status != 0) extra += format("  status 0x%02X (%s)", r.status, statusName(r.status).c_str());
        std::printf("    %3d %3d %3d %3d%s\n", r.c, r.h, r.r, r.n, extra.c_str());
      }
    }
  }

  void checkTracks(const std::string& name, const std::vector<Track>& tracks, std::int64_t size) {
    const std::int64_t diskOffset = reader_.diskOffset();
    const bool singleSided = reader_.mediaType() == 0x30 || reader_.mediaType() == 0x40;
    for (std::size_t a = 0; a < tracks.size(); ++a) {
      for (std::size_t b = a + 1; b < tracks.size(); ++b) {
        if (tracks[a].offset == tracks[b].offset) {
          warn(format("%s tracks %d and %d", name.c_str(), tracks[a].index, tracks[b].index),
               format("the same table entry 0x%" PRIX64, tracks[a].offset - diskOffset));
        }
      }
    }
    for (const Track& t : tracks) {
      const std::string where = format("%s track %d", name.c_str(), t.index);
      if (t.offset - diskOffset < d88::DISK_HEADER_SIZE && t.offset - diskOffset != SHORT_TABLE_SIZE) {
        warn(where, format("table entry 0x%" PRIX64 " points into the disk header", t.offset - diskOffset));
      }
      if (t.records.empty()) {
        warn(where, t.cutRecord ? "its first record is cut by the end of the file"
                                : "no record: the track starts at the end of the file");
        continue;
      }
      const d88::SectorRecord& first = t.records.front();
      if (first.count == 0) warn(where, "record 0 says 0 sectors: no sector of this track can be read");
      const int listed = static_cast<int>(t.records.size());
      if (t.present < listed) {
        const int swapped = ((first.count & 0xFF) << 8) | (first.count >> 8);
        std::string what = format("sector count %d (0x%04X) runs past the end of the track, which holds %d record%s",
                                  first.count, first.count, t.present, t.present == 1 ? "" : "s");
        if (swapped == t.present) what += format("; stored byte-swapped (0x%04X is %d)", first.count, swapped);
        warn(where, what);
      }
      std::map<std::string, int> seen;
      for (int k = 0; k < t.present; ++k) {
        const d88::SectorRecord& r = t.records[static_cast<std::size_t>(k)];
        const std::string at = format("%s record %d (%s)", where.c_str(), k, id(r).c_str());
        if (k > 0 && r.count != first.count)
          warn(at, format("sector count %d, record 0 says %d", r.count, first.count));
        const long nominal = nominalSize(r.n);
        if (nominal < 0) {
          warn(at, format("size code %d is no sector size", r.n));
        } else if (r.dataSize != nominal) {
          warn(at, format("data size %d, not %ld (128 << N)", r.dataSize, nominal));
        }
        const auto [it, fresh] = seen.emplace(id(r), k);
        if (!fresh) warn(at, format("the same ID as record %d: d88cut reads only the first", it->second));
        if (r.deleted != 0) warn(at, format("deleted-data mark 0x%02X", r.deleted));
        if (r.status != 0) warn(at, format("FDC status 0x%02X (%s)", r.status, statusName(r.status).c_str()));
        const int c = singleSided ? t.index : t.index / 2;
        const int h = singleSided ? 0 : t.index % 2;
        if (r.c != c || r.h != h)
          warn(at, format("C %d H %d on track %d, where C %d H %d is usual", r.c, r.h, t.index, c, h));
        if (r.dataAvailable < r.dataSize) {
          warn(at, format("data cut by the end of the file: %d of %d bytes", r.dataAvailable, r.dataSize));
        }
        if (r.position + 16 + r.dataSize > diskOffset + size && size >= 0) {
          warn(at, "its data runs past the disk size");
        }
      }
      if (t.cutRecord && t.present == listed) warn(where, format("record %d is cut by the end of the file", listed));
    }
  }

  d88::D88Image& reader_;
  bool listTracks_;
  int warnings_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  bool listTracks = false;
  const char* path = nullptr;
  int paths = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::fputs(USAGE, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::puts("d88info " D88_VERSION);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (std::strcmp(argv[i], "--tracks") == 0) {
      listTracks = true;
    } else if (argv[i][0] == '-' && argv[i][1] != 0) {  // "-" alone is standard input
      std::fprintf(stderr, "d88info: unknown option %s\n%s", argv[i], USAGE);
      return 1;
    } else {
      path = argv[i];
      ++paths;
    }
  }
  if (paths != 1) {
    std::fputs(USAGE, stderr);
    return 1;
  }
  static d88::D88Image reader;
  errno = 0;
  const bool standardInput = std::strcmp(path, "-") == 0;
#ifdef _WIN32
  // The image is bytes: no CR LF translation, no end at a 0x1A byte.
  if (standardInput) _setmode(_fileno(stdin), _O_BINARY);
#endif
  if (!(standardInput ? reader.openStream(stdin) : reader.open(path))) {
    std::fprintf(stderr, "d88info: cannot open %s: %s\n", path, errno != 0 ? std::strerror(errno) : "cannot be read");
    return 1;
  }
  Inspector(reader, listTracks).run(path);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
