// d88get: writes the files of a disk's own file system into a folder, each
// only once it is whole (as d88cut writes its files). A name from the disk
// never decides where a file goes: each part of its path is made safe
// (d88fs::safeName), so nothing leaves the folder.
#include <getopt.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

#include "d88/d88_image.h"
#include "d88/shift_jis.h"
#include "fs/filesystem.h"
#include "fs/listing_json.h"
#include "tool/console.h"
#include "tool/safe_write.h"

namespace {

const char USAGE[] =
    "Usage: d88get [--disk N] [-C DIR] [--text] [--force] IMAGE [NAME...]\n"
    "Writes the named files of a disk's own file system (FAT12, N88-BASIC,\n"
    "Hu-BASIC, F-BASIC), or all of them, into DIR (default: the current folder);\n"
    "folders as folders. A name that could leave DIR, or that Windows reserves,\n"
    "is written with %XX for the characters at fault.\n"
    "  --disk N    the disk (from 1; default 1)\n"
    "  -C DIR      the folder to write into\n"
    "  --text      an ASCII file ends at its first 0x1A\n"
    "  --force     replace files that are already there (otherwise kept)\n"
    "  -h, --help  show this text\n"
    "  --version   show the version\n"
    "Exit status: 0 every file written; 1 otherwise (a file that is already\n"
    "there, a name not found, a file that cannot be written, no file system).\n";

enum Option { DISK = 1, TEXT, FORCE, VERSION };

// The safe path under `dir` of `f`: each part of its path made safe.
std::filesystem::path target(const std::filesystem::path& dir, const d88fs::FileEntry& f) {
  std::filesystem::path out = dir;
  for (std::size_t i = 0; i < f.parts.size(); ++i) {
    // A FAT long name is Unicode already; every other part is Shift-JIS.
    const bool utf8 = i < f.utf8Parts.size() && f.utf8Parts[i];
    out /= std::filesystem::u8path(d88fs::safeName(f.parts[i], utf8));
  }
  return out;
}

void setTime(const std::filesystem::path& path, const d88fs::FileEntry& f) {
  if (!f.hasDate) return;
  std::tm t{};
  t.tm_year = f.year - 1900;
  t.tm_mon = f.month - 1;
  t.tm_mday = f.day;
  t.tm_hour = f.hour;
  t.tm_min = f.minute;
  t.tm_sec = f.second;
  t.tm_isdst = -1;
  const std::time_t when = std::mktime(&t);
  if (when == static_cast<std::time_t>(-1)) return;
#ifdef _WIN32
  struct _utimbuf times {
    when, when
  };
  _wutime(path.wstring().c_str(), &times);
#else
  struct utimbuf times {
    when, when
  };
  utime(path.string().c_str(), &times);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  static const option options[] = {{"disk", required_argument, nullptr, DISK}, {"text", no_argument, nullptr, TEXT},
                                   {"force", no_argument, nullptr, FORCE},     {"help", no_argument, nullptr, 'h'},
                                   {"version", no_argument, nullptr, VERSION}, {nullptr, 0, nullptr, 0}};
  int disk = 1;
  bool text = false, force = false;
  std::string dir = ".";
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, "hC:", options, nullptr)) != -1;) {
    switch (c) {
      case DISK: {
        char* end = nullptr;
        const long n = std::strtol(optarg, &end, 10);
        if (end == optarg || *end != '\0' || n < 1 || n > d88::MAX_DISKS) {
          std::fprintf(stderr, "d88get: --disk takes a disk number from 1 to 64\n");
          return 1;
        }
        disk = static_cast<int>(n);
        break;
      }
      case 'C': dir = optarg; break;
      case TEXT: text = true; break;
      case FORCE: force = true; break;
      case 'h': std::fputs(USAGE, stdout); return std::fflush(stdout) == 0 ? 0 : 1;
      case VERSION: std::puts("d88get " D88_VERSION); return std::fflush(stdout) == 0 ? 0 : 1;
      default: std::fprintf(stderr, "d88get: unknown option %s\n%s", argv[optind - 1], USAGE); return 1;
    }
  }
  if (optind >= argc) {
    std::fputs(USAGE, stderr);
    return 1;
  }
  useUserLocale();
  const char* image = argv[optind];
  d88::D88Image reader;
  errno = 0;
  if (!reader.open(image)) {
    std::fprintf(stderr, "d88get: cannot open %s: %s\n", image,
                 errno != 0 ? std::strerror(errno) : "it cannot be read");
    return 1;
  }
  if (!reader.selectDisk(disk - 1)) {
    std::fprintf(stderr, "d88get: %s has no disk %d\n", image, disk);
    return 1;
  }
  const d88fs::Listing listing = d88fs::listFiles(reader);
  if (listing.kind == d88fs::FsKind::NONE) {
    std::fprintf(stderr, "d88get: %s disk %d: no file system found: %s\n", image, disk, listing.why.c_str());
    return 1;
  }
  // The named files (by their path, as d88ls shows it), or all.
  std::vector<bool> wanted(listing.files.size(), optind + 1 >= argc);
  int status = 0;
  for (int i = optind + 1; i < argc; ++i) {
    bool found = false;
    for (std::size_t k = 0; k < listing.files.size(); ++k) {
      const std::string path = d88fs::decodedPath(listing.files[k]);
      if (path == argv[i] || path.rfind(std::string(argv[i]) + "/", 0) == 0) {
        wanted[k] = true;
        found = true;
      }
    }
    if (!found) {
      std::fprintf(stderr, "d88get: %s is not on disk %d\n", argv[i], disk);
      status = 1;
    }
  }
  const std::filesystem::path root = std::filesystem::u8path(dir);
  std::FILE* handle = nullptr;
  for (std::size_t k = 0; k < listing.files.size(); ++k) {
    if (!wanted[k]) continue;
    const d88fs::FileEntry& f = listing.files[k];
    const std::filesystem::path to = target(root, f);
    std::error_code ec;
    std::filesystem::create_directories(f.directory ? to : to.parent_path(), ec);
    if (f.directory) continue;
    if (!force && std::filesystem::exists(std::filesystem::symlink_status(to, ec))) {
      std::fprintf(stderr, "d88get: %s is already there; kept (--force replaces it)\n", to.u8string().c_str());
      status = 1;
      continue;
    }
    std::vector<unsigned char> bytes = d88fs::readFile(reader, f);
    if (text && f.kind == "ascii") {
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0x1A) {
          bytes.resize(i);
          break;
        }
      }
    }
    SafeWriteError error;
    if (!writeFileSafely(to, bytes.data(), bytes.size(), handle, error)) {
      std::fprintf(stderr, "d88get: %s %s: %s\n", error.what, to.u8string().c_str(), error.reason.c_str());
      status = 1;
      continue;
    }
    setTime(to, f);
    writeUtf8(stdout, d88fs::decodedPath(f) + " -> " + to.u8string() + "\n");
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return 1;
  return status;
}
