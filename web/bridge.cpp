// The page's way into the same code as the programs: the inspection with its
// JSON view, and d88cut's cutting, both on an image in memory. d88cut's
// files and messages go to a memory sink, and the page reads them back byte
// for byte. Each run is an object the page holds and frees; it owns the
// image's bytes, so that a disk's tracks can be asked for when the page
// draws them.
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "fs/filesystem.h"
#include "info/analysis.h"
#include "info/render.h"
#include "tool/cutter.h"
#include "tool/memory_sink.h"

namespace {

struct Run {
  int status = 0;  // 0, 1 the bytes cannot be opened, 2 a file could not be written
  unsigned char* data = nullptr;
  d88::D88Image reader;
  std::string report;
  std::string tracks;  // the last disk's tracks asked for
  int listed = -1;     // the disk whose file system is listed
  d88fs::Listing listing;
  std::vector<unsigned char> fileBytes;  // the last file read from it
  MemorySink cut;
  const std::vector<unsigned char>* files[OUTPUT_FILE_COUNT] = {};
};

}  // namespace

extern "C" {

// Inspects the `size` bytes at `data` (from malloc; the run owns them from
// here on), shown as `name`. With `full`, also cuts them as d88cut does on
// its first run; without, the report only, for a line of a summary. The
// report leaves out the disks' tracks: d88web_tracks gives them a disk at a
// time. The page frees the result with d88web_free.
EMSCRIPTEN_KEEPALIVE Run* d88web_run(unsigned char* data, int size, const char* name, int full) {
  Run* run = new Run();
  run->data = data;
  if (!run->reader.openMemory(data, size)) {
    run->status = 1;
    return run;
  }
  run->report = d88info::renderJson(d88info::inspect(run->reader, name), false);
  if (!full) return run;
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

EMSCRIPTEN_KEEPALIVE void d88web_free(Run* run) {
  if (run == nullptr) return;
  std::free(run->data);
  delete run;
}
EMSCRIPTEN_KEEPALIVE int d88web_status(const Run* run) { return run->status; }
EMSCRIPTEN_KEEPALIVE const char* d88web_report(const Run* run) { return run->report.c_str(); }
// The "tracks" array of disk `number` (1-based), as d88info --json gives it.
EMSCRIPTEN_KEEPALIVE const char* d88web_tracks(Run* run, int number) {
  if (number < 1 || number > run->reader.diskCount()) return "[]";
  run->tracks = d88info::renderTracksJson(d88info::inspectDisk(run->reader, number - 1));
  return run->tracks.c_str();
}
// Reads file `index` of the file system of disk `number` (1-based), in the
// order the report lists them; its size, -1 when there is no such file. Its
// bytes are at d88web_fsBytes until the next read.
EMSCRIPTEN_KEEPALIVE int d88web_fsRead(Run* run, int number, int index) {
  if (number < 1 || number > run->reader.diskCount() || !run->reader.selectDisk(number - 1)) return -1;
  if (run->listed != number) {
    run->listing = d88fs::listFiles(run->reader);
    run->listed = number;
  }
  if (index < 0 || static_cast<std::size_t>(index) >= run->listing.files.size()) return -1;
  run->fileBytes = d88fs::readFile(run->reader, run->listing.files[static_cast<std::size_t>(index)]);
  return static_cast<int>(run->fileBytes.size());
}
EMSCRIPTEN_KEEPALIVE const unsigned char* d88web_fsBytes(const Run* run) { return run->fileBytes.data(); }
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
