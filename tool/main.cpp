// d88cut: cuts DRIVER and MUSIC1..MUSIC6 out of the system disk of a D88
// image into the current folder. The front end: the shared objects, the
// real sinks (the current folder, standard output and error) and the exit
// status; the cutting itself is tool/cutter.h.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <system_error>

#include "d88/shift_jis.h"
#include "tool/console.h"
#include "tool/cutter.h"
#include "tool/launch.h"
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

const char HELP[] =
    "Usage: d88cut IMAGE.d88\n"
    "Cuts the music driver DRIVER and the music data files MUSIC1 to MUSIC6 out\n"
    "of the system disk in a D88 floppy-disk image, byte for byte, into the\n"
    "current folder. The image file may hold several disks; the system disk and\n"
    "the maker disk are named when they are found. A file is replaced only once\n"
    "its new contents are completely written.\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "A file named --help is reached as ./--help. d88info IMAGE.d88 shows what an\n"
    "image holds and whether its files are cut whole.\n"
    "Exit status: 0 the image was walked and every file cut was written; 1 a wrong\n"
    "command line, an image that cannot be read, or a file that cannot be written.\n";

// Writes d88cut's own text (Shift-JIS and ASCII) to `stream`: on a terminal
// that reads UTF-8, or a Windows console, as characters it shows; anywhere
// else (a file, a pipe) as the very bytes, which scripts rely on.
void say(std::FILE* stream, const char* text) {
  if (isUnicodeConsole(stream)) {
    writeUtf8(stream, d88::shiftJisToUtf8(reinterpret_cast<const unsigned char*>(text), std::strlen(text),
                                          d88::Undecodable::REPLACE));
  } else {
    std::fputs(text, stream);
  }
}

class ProcessSink : public CutSink {
 public:
  void out(const char* text) override { say(stdout, text); }
  void err(const char* text) override {
    // Through one pipe the lines then keep the order in which they happened
    // (a C runtime may buffer a redirected standard error, too).
    std::fflush(stdout);
    say(stderr, text);
    std::fflush(stderr);
  }
  bool writeFile(const char* name, const unsigned char* data, int size, WriteError& error) override {
    SafeWriteError failure;
    if (writeFileSafely(name, data, size > 0 ? static_cast<std::size_t>(size) : 0, outputFile, failure)) return true;
    error.what = failure.what;
    error.reason = failure.reason;
    return false;
  }
};

// Cuts `image` as `launch` says; returns the exit status.
int cut(const char* image, const Launch& launch);

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // Past a file-size limit a write then fails and is reported, instead of
  // the process dying with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  useUserLocale();
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s [d88file]\n", argc > 0 && argv[0] != nullptr ? argv[0] : "d88cut");
    return 1;
  }
  if (std::strcmp(argv[1], "--help") == 0) {
    std::fputs(HELP, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::puts("d88cut " D88_VERSION);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
#ifdef _WIN32
  // Dropped on d88cut.exe in Explorer: the console is d88cut's alone. The
  // files then go next to the image, and the window waits to be read.
  DWORD processes[2];
  const Launch launch = launchOf(static_cast<int>(GetConsoleProcessList(processes, 2)));
#else
  const Launch launch = launchOf(0);
#endif
  const int status = cut(argv[1], launch);
  if (launch.waitForEnter) {
    std::fputs("\nPress Enter to close this window.\n", stdout);
    std::fflush(stdout);
    std::getchar();
  }
  return status;
}

namespace {

int cut(const char* image, const Launch& launch) {
  errno = 0;
  if (!imageReader.open(image)) {
    const int error = errno;
    say(stderr, OPEN_FAILURE);
    // The line above is the one d88cut has always given; this one says
    // which file and why, in words a search finds.
    std::fprintf(stderr, "d88cut: cannot open %s: %s\n", image,
                 error != 0 ? std::strerror(error) : "it cannot be read, or is larger than 2 GiB");
    return 1;
  }
  // The image is open: its name no longer matters where the files go.
  const std::string folder = outputFolder(launch, image);
  if (!folder.empty()) {
    std::error_code ec;
    std::filesystem::current_path(folder, ec);
  }
  ProcessSink sink;
  const CutResult result = cutImage(imageReader, workBuffer, sink);
  // A lost progress line or a file that could not be written is a failure,
  // not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return 1;
  return result.outputFailed ? 1 : 0;
}

}  // namespace
