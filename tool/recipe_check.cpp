#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tool/extract.h"

namespace {

constexpr int PIECE = 128 << SYSTEM_SIZE_CODE;
// Where each byte of the work buffer came from: a whole sector, nothing
// yet, or the index of the sector whose failure left it stale.
constexpr int FROM_SECTOR = -1;
constexpr int NEVER_READ = -2;

struct Failure {
  int track, c, h, r;
  bool missing;
};

int recipeExtent() {
  int extent = 0;
  for (const RecipeStep& step : systemDiskRecipe) {
    int end = 0;
    if (step.kind == RecipeStep::RUN) end = step.skip + step.length;
    if (step.kind == RecipeStep::READ || step.kind == RecipeStep::WRITE) end = step.offset + step.length;
    if (step.kind == RecipeStep::COPY) end = std::max(step.offset, step.source) + step.length;
    extent = std::max(extent, end);
  }
  return extent;
}

}  // namespace

void checkSystemDisk(d88::D88Image& reader, FileCheck checks[OUTPUT_FILE_COUNT]) {
  const int extent = recipeExtent();
  std::vector<unsigned char> buffer(static_cast<std::size_t>(extent));
  std::vector<int> origin(static_cast<std::size_t>(extent), NEVER_READ);
  std::vector<Failure> failures;
  // Which sector each byte of the buffer was read from, -1 for none.
  std::vector<int> source(static_cast<std::size_t>(extent), -1);
  std::vector<SectorPlace> sectors;

  // The same run the extraction makes; where it stops, the sector it
  // stopped at is found by stepping as the run steps.
  auto run = [&](const RecipeStep& step, int offset, int length) {
    const int got =
        reader.readSectors(step.track, step.c, step.h, step.r, SYSTEM_SIZE_CODE, buffer.data() + offset, length);
    std::fill(origin.begin() + offset, origin.begin() + offset + got, FROM_SECTOR);
    int track = step.track, c = step.c, h = step.h, r = step.r;
    for (int at = 0; at < got; at += PIECE) {
      const int end = std::min(got, at + PIECE);
      sectors.push_back({track, c, h, r});
      std::fill(source.begin() + offset + at, source.begin() + offset + end, static_cast<int>(sectors.size() - 1));
      reader.nextSector(track, c, h, r);
    }
    if (got < length) {
      int track = step.track, c = step.c, h = step.h, r = step.r;
      for (int i = 0; i < got / PIECE; ++i) reader.nextSector(track, c, h, r);
      unsigned char probe[1];
      const bool missing = reader.readSector(track, c, h, r, SYSTEM_SIZE_CODE, probe, 1) == 0;
      failures.push_back({track, c, h, r, missing});
      std::fill(origin.begin() + offset + got, origin.begin() + offset + length, static_cast<int>(failures.size() - 1));
    }
    return got;
  };
  auto judge = [&](FileCheck& check, const RecipeStep& step, int offset, bool cut) {
    check = {step.name, step.length, cut, true, -1, 0, 0, 0, false, {}};
    int last = -1;
    for (int i = offset; i < offset + step.length; ++i) {
      const int from = source[static_cast<std::size_t>(i)];
      if (from < 0 || from == last) continue;
      // Runs and copies keep a file's sectors in order; a sector seen
      // before is not listed again.
      bool seen = false;
      const SectorPlace& f = sectors[static_cast<std::size_t>(from)];
      for (const SectorPlace& s : check.sectors) {
        seen = seen || (s.track == f.track && s.c == f.c && s.h == f.h && s.r == f.r);
      }
      if (!seen) check.sectors.push_back(sectors[static_cast<std::size_t>(from)]);
      last = from;
    }
    for (int i = offset; i < offset + step.length; ++i) {
      if (origin[static_cast<std::size_t>(i)] == FROM_SECTOR) continue;
      check.whole = false;
      if (origin[static_cast<std::size_t>(i)] >= 0) {
        const Failure& f = failures[static_cast<std::size_t>(origin[static_cast<std::size_t>(i)])];
        check.track = f.track;
        check.c = f.c;
        check.h = f.h;
        check.r = f.r;
        check.missing = f.missing;
      }
      return;
    }
  };

  int file = 0;
  for (const RecipeStep& step : systemDiskRecipe) {
    switch (step.kind) {
      case RecipeStep::SET_RANGE: reader.setSectorRange(step.first, step.last); break;
      case RecipeStep::RUN: {
        const int got = run(step, 0, step.skip + step.length);
        if (file < OUTPUT_FILE_COUNT) judge(checks[file++], step, step.skip, got > 0);
        break;
      }
      case RecipeStep::READ: run(step, step.offset, step.length); break;
      case RecipeStep::COPY:
        std::copy(origin.begin() + step.source, origin.begin() + step.source + step.length,
                  origin.begin() + step.offset);
        std::copy(source.begin() + step.source, source.begin() + step.source + step.length,
                  source.begin() + step.offset);
        break;
      case RecipeStep::WRITE:
        if (file < OUTPUT_FILE_COUNT) judge(checks[file++], step, step.offset, true);
        break;
    }
  }
}

std::string describeFileCheck(const FileCheck& check) {
  if (check.whole) return "whole";
  std::string text = check.cut ? "incomplete: " : "not cut: ";
  if (check.track < 0) return text + "bytes that are never read";
  char sector[96];
  std::snprintf(sector, sizeof sector, "track %d (C %d H %d R %d) %s", check.track, check.c, check.h, check.r,
                check.missing ? "is missing" : "is short");
  return text + sector;
}
