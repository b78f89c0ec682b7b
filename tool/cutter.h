// d88cut's cutting: the walk over the disks of an image, the identification
// of each, and the recipe on the system disk. It is handed the reader, the
// work buffer and a sink for the files and the messages, and returns what it
// did; it prints nothing and touches no file itself.
#ifndef TOOL_CUTTER_H
#define TOOL_CUTTER_H

#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "tool/identify.h"
#include "tool/recipe.h"

// Why a file could not be written: "cannot create a temporary file for",
// "cannot write" or "cannot replace", and the system's reason.
struct WriteError {
  const char* what = "cannot write";
  std::string reason;
};

// Where d88cut's files and messages go.
class CutSink {
 public:
  virtual ~CutSink() = default;
  // A line for standard output.
  virtual void out(const char* text) = 0;
  // A line for standard error; everything written to out before it is
  // shown before it.
  virtual void err(const char* text) = 0;
  // Writes file `name`; false, with the reason in `error`, when it cannot.
  virtual bool writeFile(const char* name, const unsigned char* data, int size, WriteError& error) = 0;
  // Told before the files of known disk `disk` (0-based), if any, are
  // written.
  virtual void beginDisk(int disk, KnownDisk known) {
    (void)disk;
    (void)known;
  }
};

// What the walk did with one known disk.
struct DiskCut {
  int disk;  // 0-based index
  KnownDisk known;
  std::vector<FileCheck> files;  // the system disk's seven files, in cutting order
  std::vector<bool> written;     // per file: written to the sink
};

struct CutResult {
  std::vector<DiskCut> disks;  // the known disks, in index order
  bool outputFailed = false;   // a file could not be written
};

// Walks every disk of the image open in `reader`: names the known disks and
// cuts the system disk's files into `sink`. `workBuffer` holds
// WORK_BUFFER_SIZE bytes and is never cleared: what one step leaves in it
// stays visible to the next, across disks too.
CutResult cutImage(d88::D88Image& reader, unsigned char* workBuffer, CutSink& sink);

#endif  // TOOL_CUTTER_H
