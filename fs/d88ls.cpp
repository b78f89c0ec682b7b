// d88ls: the files on each disk of D88 images, from the disks' own file
// systems. A thin front end: the file-system library finds, this prints.
#include <getopt.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "d88/d88_image.h"
#include "d88/shift_jis.h"
#include "fs/filesystem.h"
#include "fs/listing_json.h"
#include "tool/console.h"

namespace {

const char USAGE[] =
    "Usage: d88ls [--disk N] [--json] [--ascii] IMAGE...\n"
    "Lists the files on each disk of D88 images, from the disk's own file system\n"
    "(FAT12, N88-BASIC, Hu-BASIC, F-BASIC): per disk the file system (or why none\n"
    "was found), then one line per file: name, kind, size, attributes, date.\n"
    "  --disk N    only disk N (from 1)\n"
    "  --json      one JSON document (see d88ls(1))\n"
    "  --ascii     names as \\xNN escapes, whatever the terminal\n"
    "  -h, --help  show this text\n"
    "  --version   show the version\n"
    "Exit status: 0 listed; 1 a command-line error or a file that cannot be opened.\n";

enum Option { DISK = 1, JSON, ASCII, VERSION };

// A path as the terminal shows it: decoded, or printable ASCII with every
// other byte as \xNN.
std::string shown(const d88fs::FileEntry& f, bool unicode) {
  if (unicode) return d88fs::decodedPath(f, d88::Undecodable::ESCAPE);
  std::string out;
  char cell[5];
  for (const char ch : f.path) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      out += ch;
    } else {
      std::snprintf(cell, sizeof cell, "\\x%02X", b);
      out += cell;
    }
  }
  return out;
}

using Writer = rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::ASCII<>>;

}  // namespace

int main(int argc, char** argv) {
  static const option options[] = {{"disk", required_argument, nullptr, DISK}, {"json", no_argument, nullptr, JSON},
                                   {"ascii", no_argument, nullptr, ASCII},     {"help", no_argument, nullptr, 'h'},
                                   {"version", no_argument, nullptr, VERSION}, {nullptr, 0, nullptr, 0}};
  int only = 0;
  bool json = false, ascii = false;
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, "h", options, nullptr)) != -1;) {
    switch (c) {
      case DISK: {
        char* end = nullptr;
        const long n = std::strtol(optarg, &end, 10);
        if (end == optarg || *end != '\0' || n < 1 || n > d88::MAX_DISKS) {
          std::fprintf(stderr, "d88ls: --disk takes a disk number from 1 to 64\n");
          return 1;
        }
        only = static_cast<int>(n);
        break;
      }
      case JSON: json = true; break;
      case ASCII: ascii = true; break;
      case 'h': std::fputs(USAGE, stdout); return std::fflush(stdout) == 0 ? 0 : 1;
      case VERSION: std::puts("d88ls " D88_VERSION); return std::fflush(stdout) == 0 ? 0 : 1;
      default: std::fprintf(stderr, "d88ls: unknown option %s\n%s", argv[optind - 1], USAGE); return 1;
    }
  }
  if (optind >= argc) {
    std::fputs(USAGE, stderr);
    return 1;
  }
  useUserLocale();
  const bool unicode = !ascii && (localeIsUtf8() || isUnicodeConsole(stdout));
  int status = 0;
  rapidjson::StringBuffer buffer;
  Writer w(buffer);
  if (json) {
    w.StartObject();
    w.Key("d88ls");
    w.Int(1);
    w.Key("images");
    w.StartArray();
  }
  d88::D88Image reader;
  for (int i = optind; i < argc; ++i) {
    const char* path = argv[i];
    errno = 0;
    if (!reader.open(path)) {
      const char* why = errno != 0 ? std::strerror(errno) : "it cannot be read";
      std::fprintf(stderr, "d88ls: cannot open %s: %s\n", path, why);
      status = 1;
      if (json) {
        w.StartObject();
        w.Key("path");
        w.String(path);
        w.Key("error");
        w.String(why);
        w.EndObject();
      }
      continue;
    }
    if (json) {
      w.StartObject();
      w.Key("path");
      w.String(path);
      w.Key("disks");
      w.StartArray();
    }
    for (int d = 0; d < reader.diskCount(); ++d) {
      if (only != 0 && d + 1 != only) continue;
      if (!reader.selectDisk(d)) continue;
      const d88fs::Listing listing = d88fs::listFiles(reader);
      if (json) {
        w.StartObject();
        w.Key("number");
        w.Int(d + 1);
        w.Key("filesystem");
        if (listing.kind == d88fs::FsKind::NONE) {
          w.Null();
        } else {
          w.String(d88fs::fsName(listing.kind));
        }
        w.Key("why");
        w.String(listing.why.c_str());
        d88fs::writeListing(w, listing, [&w](const std::string& text) {
          w.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
        });
        w.EndObject();
        continue;
      }
      std::string out = std::string(path) + " disk " + std::to_string(d + 1) + ": ";
      if (listing.kind == d88fs::FsKind::NONE) {
        out += "no file system found: " + listing.why + "\n";
      } else {
        std::size_t files = 0, folders = 0;
        for (const d88fs::FileEntry& f : listing.files) (f.directory ? folders : files) += 1;
        out += std::string(d88fs::fsName(listing.kind)) + " (" + listing.why + "), " + std::to_string(files) +
               (files == 1 ? " file" : " files");
        if (folders > 0) out += ", " + std::to_string(folders) + (folders == 1 ? " folder" : " folders");
        out += "\n";
      }
      for (const d88fs::FileEntry& f : listing.files) {
        char line[160];
        const std::string name = shown(f, unicode);
        std::snprintf(line, sizeof line, "  %-10s %9" PRId64 "  ", f.directory ? "<dir>" : f.kind.c_str(), f.size);
        out += line;
        if (f.hasDate) {
          std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d  ", f.year, f.month, f.day, f.hour, f.minute);
          out += line;
        } else {
          out += "                  ";
        }
        out += name;
        for (const std::string& flag : f.flags) out += "  " + flag;
        out += "\n";
      }
      for (const d88fs::FsWarning& warning : listing.warnings) {
        char line[160];
        std::snprintf(line, sizeof line, "  warning: %s at %" PRId64 " (%" PRId64 ")", d88fs::fsCodeName(warning.code),
                      warning.a, warning.b);
        out += line;
        if (!warning.path.empty()) out += ": " + d88::shiftJisToUtf8(warning.path, d88::Undecodable::ESCAPE);
        out += "\n";
      }
      writeUtf8(stdout, out);
    }
    if (json) {
      w.EndArray();
      w.EndObject();
    }
  }
  if (json) {
    w.EndArray();
    w.EndObject();
    std::fputs(buffer.GetString(), stdout);
    std::fputs("\n", stdout);
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return 1;
  return status;
}
