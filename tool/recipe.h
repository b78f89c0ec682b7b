// The fixed recipe that cuts DRIVER and MUSIC1..MUSIC6 out of the system
// disk, and the one walk that carries it out. The extraction and the check
// of a disk against the recipe are two observers of that walk, so they
// cannot disagree about what a file holds.
#ifndef TOOL_RECIPE_H
#define TOOL_RECIPE_H

#include <string>
#include <vector>

#include "d88/d88_image.h"

constexpr int WORK_BUFFER_SIZE = 0x64000;

// One step of the system-disk recipe.
struct RecipeStep {
  enum Kind {
    SET_RANGE,  // setSectorRange(first, last)
    RUN,        // extractRun(name, ...): read skip + length at 0, write length from skip
    READ,       // readSectors into the buffer at offset
    COPY,       // copy length bytes from source to offset
    WRITE,      // writeRegion(name, buffer + offset, length)
  };
  Kind kind;
  const char* name;
  int track, c, h, r;
  int offset;  // READ, WRITE, COPY: buffer offset (COPY: target)
  int skip;    // RUN
  int length;
  int source;       // COPY
  int first, last;  // SET_RANGE
};

constexpr int SYSTEM_SIZE_CODE = 3;
constexpr int OUTPUT_FILE_COUNT = 7;
constexpr int SYSTEM_RECIPE_STEPS = 18;
extern const RecipeStep systemDiskRecipe[SYSTEM_RECIPE_STEPS];
extern const char* const outputFileNames[OUTPUT_FILE_COUNT];
// The bytes of the buffer the recipe touches.
int recipeExtent();

// A sector by its track index and ID (the size code is always 3 here).
struct SectorPlace {
  int track, c, h, r;
};

// Bytes of a file that did not come from the sector the recipe names.
struct Leftover {
  int from, to;  // the file's bytes from..to - 1
  // The sector that left them in the buffer, track -1 when the buffer held
  // them before the disk's recipe started (an earlier disk, or zero).
  SectorPlace sector;
};

// How the recipe fares on a disk for one file.
struct FileCheck {
  const char* name;
  int size;
  bool cut;    // d88cut writes the file (a run that delivers nothing writes none)
  bool whole;  // every byte comes from the sector the recipe names
  // When not whole: the first sector, in the file's byte order, that is
  // missing or short; track -1 when the bytes were never read at all.
  int track, c, h, r;
  bool missing;  // no sector with that ID (otherwise it holds too few bytes)
  // The sectors its bytes come from, each once, in the file's byte order.
  std::vector<SectorPlace> sectors;
  // The sectors the recipe reads for it that the disk lacks or cuts short,
  // each once, in the file's byte order.
  std::vector<SectorPlace> failed;
  std::vector<bool> failedMissing;  // per failed sector: missing (else short)
  // Where its other bytes came from, in the file's byte order.
  std::vector<Leftover> leftovers;
};

// Told about each file as the walk reaches the step that writes it.
class RecipeObserver {
 public:
  virtual ~RecipeObserver() = default;
  // File number `file` (0..6), `size` bytes at `data` in the buffer (null
  // when d88cut does not cut it), and how it fares.
  virtual void file(int file, const FileCheck& check, const unsigned char* data) = 0;
};

// Carries out the recipe on the selected disk of `reader` with the `size`
// bytes at `buffer` as the work buffer (d88cut's holds WORK_BUFFER_SIZE; a
// check needs recipeExtent()), telling `observer` about each file in the
// order they are cut. Leaves the sector range as the recipe does.
void runRecipe(d88::D88Image& reader, unsigned char* buffer, int size, RecipeObserver& observer);

// The seven checks of the selected disk, found with a scratch buffer.
std::vector<FileCheck> checkSystemDisk(d88::D88Image& reader);

// The state of one file in words, the same wherever it is shown: "whole",
// or "not cut: track 3 (C 1 H 1 R 1) is missing", "incomplete: ... is short".
std::string describeFileCheck(const FileCheck& check);

#endif  // TOOL_RECIPE_H
