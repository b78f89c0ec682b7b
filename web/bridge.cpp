// The page's way into the same code as the programs: the inspection with its
// JSON view, and d88cut's walk over the disks, both on an image in memory.
// d88cut writes its files and messages into the in-memory file system, and
// the page reads them back byte for byte.
#include <emscripten/emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "info/analysis.h"
#include "info/render.h"
#include "tool/extract.h"

namespace {

const char CUT_DIR[] = "/cut";
// Standard output and error both append to one file, as `d88cut IMAGE 2>&1`
// shows them: d88cut flushes standard output before it writes to standard
// error, so the lines stand in the order in which they happened.
const char CONSOLE_PATH[] = "/console";

std::string report;
std::vector<unsigned char> console;
std::vector<unsigned char> files[OUTPUT_FILE_COUNT];
bool written[OUTPUT_FILE_COUNT];

bool slurp(const char* path, std::vector<unsigned char>& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  unsigned char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return true;
}

}  // namespace

extern "C" {

// Inspects the `size` bytes at `data`, shown as `name`, and cuts them as
// d88cut does into a fresh folder. The results stay until the next call.
EMSCRIPTEN_KEEPALIVE int d88web_run(const unsigned char* data, int size, const char* name) {
  d88::D88Image reader;
  if (!reader.openMemory(data, size)) return 1;
  report = d88info::renderJson({d88info::toJson(d88info::inspect(reader, name))});

  // d88cut as a fresh process starts it: an empty folder, a zeroed work
  // buffer, nothing failed yet.
  mkdir(CUT_DIR, 0777);
  for (const char* file : outputFileNames) {
    std::remove((std::string(CUT_DIR) + "/" + file).c_str());
  }
  std::memset(workBuffer, 0, sizeof workBuffer);
  outputFailed = false;
  std::remove(CONSOLE_PATH);
  if (std::freopen(CONSOLE_PATH, "ab", stdout) == nullptr || std::freopen(CONSOLE_PATH, "ab", stderr) == nullptr) {
    return 1;
  }
  if (chdir(CUT_DIR) != 0) return 1;
  if (imageReader.openMemory(data, size)) cutImage();
  imageReader.open(nullptr);  // the bytes are the page's again
  std::fflush(stdout);
  std::fflush(stderr);
  slurp(CONSOLE_PATH, console);
  for (int i = 0; i < OUTPUT_FILE_COUNT; ++i) {
    written[i] = slurp((std::string(CUT_DIR) + "/" + outputFileNames[i]).c_str(), files[i]);
  }
  return outputFailed ? 2 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* d88web_report() { return report.c_str(); }
// What d88cut printed, both streams in order, as bytes (Shift-JIS and ASCII).
EMSCRIPTEN_KEEPALIVE const unsigned char* d88web_console() { return console.data(); }
EMSCRIPTEN_KEEPALIVE int d88web_consoleSize() { return static_cast<int>(console.size()); }
EMSCRIPTEN_KEEPALIVE const char* d88web_fileName(int i) {
  return i >= 0 && i < OUTPUT_FILE_COUNT ? outputFileNames[i] : "";
}
// -1 when d88cut did not write file `i`.
EMSCRIPTEN_KEEPALIVE int d88web_fileSize(int i) {
  return i >= 0 && i < OUTPUT_FILE_COUNT && written[i] ? static_cast<int>(files[i].size()) : -1;
}
EMSCRIPTEN_KEEPALIVE const unsigned char* d88web_file(int i) {
  return i >= 0 && i < OUTPUT_FILE_COUNT ? files[i].data() : nullptr;
}
}
