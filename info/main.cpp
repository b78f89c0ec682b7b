// d88info: what D88 images hold, whether d88cut cuts their files whole, and
// what is wrong with them. A thin front end: the inspection finds, the
// views show.
#include <getopt.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "d88/d88_image.h"
#include "info/analysis.h"
#include "info/render.h"
#include "info/wording.h"
#include "tool/console.h"

namespace {

const char USAGE[] =
    "Usage: d88info [OPTION]... IMAGE...\n"
    "Shows what each D88 image holds: its verdict, then per disk the name,\n"
    "media, size, geometry, which known disk it is, whether d88cut cuts its\n"
    "files whole, and what is wrong with it. IMAGE - reads standard input.\n"
    "  --tracks    also one line per track\n"
    "  --sectors   also one line per sector\n"
    "  --summary   only each image's verdict line\n"
    "  --json      one JSON document for all images (see d88info(1))\n"
    "  --ascii     disk names as \\xNN escapes, whatever the terminal\n"
    "  -h, --help  show this text\n"
    "  --version   show the version\n"
    "Exit status: 0 all were D88 images; 2 some file is no D88 image;\n"
    "1 a command-line error or a file that cannot be opened.\n";

enum Option { TRACKS = 1, SECTORS, SUMMARY, JSON, VERSION, ASCII };

}  // namespace

int main(int argc, char** argv) {
  static const option options[] = {
      {"tracks", no_argument, nullptr, TRACKS},   {"sectors", no_argument, nullptr, SECTORS},
      {"summary", no_argument, nullptr, SUMMARY}, {"json", no_argument, nullptr, JSON},
      {"ascii", no_argument, nullptr, ASCII},     {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, VERSION}, {nullptr, 0, nullptr, 0}};
  d88info::TextOptions text;
  bool summary = false, json = false, ascii = false;
  opterr = 0;  // the messages below say it in this program's words
  for (int c; (c = getopt_long(argc, argv, "h", options, nullptr)) != -1;) {
    switch (c) {
      case TRACKS: text.tracks = true; break;
      case SECTORS: text.sectors = true; break;
      case SUMMARY: summary = true; break;
      case JSON: json = true; break;
      case ASCII: ascii = true; break;
      case 'h': std::fputs(USAGE, stdout); return std::fflush(stdout) == 0 ? 0 : 1;
      case VERSION: std::puts("d88info " D88_VERSION); return std::fflush(stdout) == 0 ? 0 : 1;
      default: std::fprintf(stderr, "d88info: unknown option %s\n%s", argv[optind - 1], USAGE); return 1;
    }
  }
  if (optind >= argc) {
    std::fputs(USAGE, stderr);
    return 1;
  }
  if (json && summary) {
    std::fprintf(stderr, "d88info: --json and --summary do not go together\n%s", USAGE);
    return 1;
  }
  // Disk names read as their kana and kanji where the output is UTF-8 (the
  // locale says so) or a Windows console; elsewhere, and with --ascii, as
  // escapes.
  useUserLocale();
  text.unicode = !ascii && (localeIsUtf8() || isUnicodeConsole(stdout));
  int status = 0;
  bool notD88 = false;
  // One reader for every file: its read window is allocated once. Each
  // inspection selects the disks it reads.
  d88::D88Image reader;
  // The JSON document goes out as it is found.
  std::unique_ptr<d88info::JsonDocument> document;
  if (json) document.reset(new d88info::JsonDocument(stdout));
  for (int i = optind; i < argc; ++i) {
    const char* path = argv[i];
    const bool standardInput = std::strcmp(path, "-") == 0;
#ifdef _WIN32
    // The image is bytes: no CR LF translation, no end at a 0x1A byte.
    if (standardInput) _setmode(_fileno(stdin), _O_BINARY);
#endif
    errno = 0;
    if (!(standardInput ? reader.openStream(stdin) : reader.open(path))) {
      const std::string why = errno != 0 ? std::strerror(errno) : "it cannot be read, or is larger than 2 GiB";
      std::fflush(stdout);
      std::fprintf(stderr, "d88info: cannot open %s: %s\n", d88info::escaped(path).c_str(), why.c_str());
      // Scripts see one entry for every file they named.
      if (json) document->unreadable(path, why);
      status = 1;
      continue;
    }
    if (json) {
      notD88 = !document->image(reader, path) || notD88;
      continue;
    }
    const d88info::Report report = d88info::inspect(reader, path);
    notD88 = notD88 || !report.d88;
    if (summary) {
      std::printf("%s\n", d88info::verdictText(report).c_str());
    } else {
      writeUtf8(stdout, (i > optind ? "\n" : "") + d88info::renderText(report, text));
    }
  }
  if (json && !document->finish()) return 1;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return 1;
  return status != 0 ? status : notD88 ? 2 : 0;
}
