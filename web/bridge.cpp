// The page's way into the same code as the programs: the inspection with its
// JSON view, and d88cut's cutting, both on an image in memory. d88cut's
// files and messages go to a memory sink, and the page reads them back byte
// for byte. Each run's results are an object the page holds and frees.
#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "info/analysis.h"
#include "info/render.h"
#include "tool/cutter.h"
#include "tool/memory_sink.h"

namespace {

struct Run {
  int status = 0;  // 0, 1 the bytes cannot be opened, 2 a file could not be written
  std::string report;
  MemorySink cut;
  const std::vector<unsigned char>* files[OUTPUT_FILE_COUNT] = {};
};

}  // namespace

extern "C" {

// Inspects the `size` bytes at `data`, shown as `name`, and cuts them as
// d88cut does on its first run. The page frees the result with d88web_free.
EMSCRIPTEN_KEEPALIVE Run* d88web_run(const unsigned char* data, int size, const char* name) {
  Run* run = new Run();
  d88::D88Image reader;
  if (!reader.openMemory(data, size)) {
    run->status = 1;
    return run;
  }
  run->report = d88info::renderJson(d88info::inspect(reader, name));

  // The work buffer of a fresh process: zero, and never cleared in the run.
  std::vector<unsigned char> workBuffer(WORK_BUFFER_SIZE);
  d88::D88Image cutReader;
  cutReader.openMemory(data, size);
  const CutResult result = cutImage(cutReader, workBuffer.data(), run->cut);
  for (int i = 0; i < OUTPUT_FILE_COUNT; ++i) {
    const auto found = run->cut.files.find(outputFileNames[i]);
    if (found != run->cut.files.end()) run->files[i] = &found->second;
  }
  run->status = result.outputFailed ? 2 : 0;
  return run;
}

EMSCRIPTEN_KEEPALIVE void d88web_free(Run* run) { delete run; }
EMSCRIPTEN_KEEPALIVE int d88web_status(const Run* run) { return run->status; }
EMSCRIPTEN_KEEPALIVE const char* d88web_report(const Run* run) { return run->report.c_str(); }
// What d88cut printed, both streams in order, as bytes (Shift-JIS and ASCII).
EMSCRIPTEN_KEEPALIVE const char* d88web_console(const Run* run) { return run->cut.console.data(); }
EMSCRIPTEN_KEEPALIVE int d88web_consoleSize(const Run* run) { return static_cast<int>(run->cut.console.size()); }
EMSCRIPTEN_KEEPALIVE const char* d88web_fileName(int i) {
  return i >= 0 && i < OUTPUT_FILE_COUNT ? outputFileNames[i] : "";
}
// Every file d88cut wrote, in order, with the disk (0-based) it came from:
// a disk's own files, where an image holds several system disks.
EMSCRIPTEN_KEEPALIVE int d88web_writtenCount(const Run* run) { return static_cast<int>(run->cut.written.size()); }
EMSCRIPTEN_KEEPALIVE int d88web_writtenDisk(const Run* run, int i) {
  return i >= 0 && i < d88web_writtenCount(run) ? run->cut.written[static_cast<std::size_t>(i)].disk : -1;
}
EMSCRIPTEN_KEEPALIVE const char* d88web_writtenName(const Run* run, int i) {
  return i >= 0 && i < d88web_writtenCount(run) ? run->cut.written[static_cast<std::size_t>(i)].name.c_str() : "";
}
EMSCRIPTEN_KEEPALIVE int d88web_writtenSize(const Run* run, int i) {
  if (i < 0 || i >= d88web_writtenCount(run)) return -1;
  return static_cast<int>(run->cut.written[static_cast<std::size_t>(i)].bytes.size());
}
EMSCRIPTEN_KEEPALIVE const unsigned char* d88web_written(const Run* run, int i) {
  if (i < 0 || i >= d88web_writtenCount(run)) return nullptr;
  return run->cut.written[static_cast<std::size_t>(i)].bytes.data();
}
// The files d88cut leaves in the folder, by number: -1 when it wrote none
// of that name.
EMSCRIPTEN_KEEPALIVE int d88web_fileSize(const Run* run, int i) {
  if (i < 0 || i >= OUTPUT_FILE_COUNT || run->files[i] == nullptr) return -1;
  return static_cast<int>(run->files[i]->size());
}
EMSCRIPTEN_KEEPALIVE const unsigned char* d88web_file(const Run* run, int i) {
  if (i < 0 || i >= OUTPUT_FILE_COUNT || run->files[i] == nullptr) return nullptr;
  return run->files[i]->data();
}
}
