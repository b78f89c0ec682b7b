// d88cut: cuts DRIVER and MUSIC1..MUSIC6 out of the system disk of a D88
// image into the current folder. The front end: the shared objects, the
// real sinks (the current folder, standard output and error) and the exit
// status; the cutting itself is tool/cutter.h.
#include <csignal>
#include <cstdio>

#include "tool/cutter.h"
#include "tool/safe_write.h"

// The one image reader, the work buffer (zero at start, never cleared) and
// the handle of the file being written, shared by the whole run.
d88::D88Image imageReader;
unsigned char workBuffer[WORK_BUFFER_SIZE];
std::FILE* outputFile = nullptr;

namespace {

// Shift-JIS: "ファイルをオープンできません.\n"
const char OPEN_FAILURE[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76"
    "\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
    ".\n";

class ProcessSink : public CutSink {
 public:
  void out(const char* text) override { std::fputs(text, stdout); }
  void err(const char* text) override {
    // Through one pipe the lines then keep the order in which they happened.
    std::fflush(stdout);
    std::fputs(text, stderr);
  }
  bool writeFile(const char* name, const unsigned char* data, int size, WriteError& error) override {
    SafeWriteError failure;
    if (writeFileSafely(name, data, size > 0 ? static_cast<std::size_t>(size) : 0, outputFile, failure)) return true;
    error.what = failure.what;
    error.reason = failure.reason;
    return false;
  }
};

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
  ProcessSink sink;
  const CutResult result = cutImage(imageReader, workBuffer, sink);
  // A lost progress line or a file that could not be written is a failure,
  // not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return 1;
  return result.outputFailed ? 1 : 0;
}
