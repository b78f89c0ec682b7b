#include <csignal>
#include <cstdio>

#include "tool/extract.h"

namespace {

// Shift-JIS: "ファイルをオープンできません.\n"
const char OPEN_FAILURE[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76"
    "\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
    ".\n";

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // Past a file-size limit a write then fails and is reported, instead of
  // the process dying with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s [d88file]\n", argc > 0 && argv[0] != nullptr ? argv[0] : "d88cut");
    return 1;
  }
  if (!imageReader.open(argv[1])) {
    std::fputs(OPEN_FAILURE, stderr);
    return 1;
  }
  cutImage();
  // A lost progress line or a file that could not be written is a failure,
  // not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return 1;
  return outputFailed ? 1 : 0;
}
