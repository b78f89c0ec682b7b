// d88cut: identification of the known disks and the fixed extraction of
// DRIVER and MUSIC1..MUSIC6 from the system disk.
#ifndef TOOL_EXTRACT_H
#define TOOL_EXTRACT_H

#include <cstdio>
#include <string>
#include <vector>

#include "d88/d88_image.h"

constexpr int WORK_BUFFER_SIZE = 0x64000;
constexpr int LABEL_SIZE = 16;
// The label sector: track 0, C 0, H 0, R 1, N 1, read into the start of the
// work buffer; its label stands at bytes 1..16.
constexpr int LABEL_SECTOR_SIZE = 256;
constexpr int LABEL_OFFSET = 1;

extern d88::D88Image imageReader;
extern unsigned char workBuffer[WORK_BUFFER_SIZE];
extern std::FILE* outputFile;
extern const unsigned char systemDiskLabel[LABEL_SIZE];
extern const unsigned char makerDiskLabel[LABEL_SIZE];

enum class KnownDisk { None, System, Maker };

// Which known disk the label sector in `sector` (`size` bytes read) names.
KnownDisk identifyLabel(const unsigned char* sector, int size);
// Sets the range 1..16, reads the label sector of `reader`'s selected disk
// into `sector` (LABEL_SECTOR_SIZE bytes at most) and says which known disk
// it names; `got`, when given, receives the bytes read.
KnownDisk identifyDisk(d88::D88Image& reader, unsigned char* sector, int* got = nullptr);

// One step of the system-disk recipe. The recipe is data so that the
// extraction and any check of a disk against it cannot drift apart.
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

// True when a file could not be written; main's exit status reports it.
extern bool outputFailed;

// A sector by its track index and ID (the size code is always 3 here).
struct SectorPlace {
  int track, c, h, r;
};

// How the recipe fares on a disk, file by file, found without writing.
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
};

// Runs the recipe's reads on the selected disk of `reader`, in the recipe's
// order and with its offsets, and fills one check per output file, in the
// order the files are cut. Leaves the sector range as the recipe does.
void checkSystemDisk(d88::D88Image& reader, FileCheck checks[OUTPUT_FILE_COUNT]);
// The state of one file in words, the same wherever it is shown: "whole",
// or "not cut: track 3 (C 1 H 1 R 1) is missing", "incomplete: ... is short".
std::string describeFileCheck(const FileCheck& check);

bool extractRun(const char* name, int track, int c, int h, int r, int n, int skip, int size);
bool writeRegion(const char* name, const unsigned char* data, int size);
// Walks every disk of the image open in imageReader: names the known disks
// and cuts the system disk's files into the current directory.
void cutImage();
// Cuts the seven files; one warning line on standard error names each file
// that is not cut whole and the first sector at fault.
void extractSystemDisk();
// That warning line for `check`; nothing when the file is whole.
void warnIfNotWhole(const FileCheck& check);

#endif  // TOOL_EXTRACT_H
