#include "tool/recipe.h"

#include <algorithm>

namespace {

constexpr RecipeStep setRange(int first, int last) {
  return {RecipeStep::SET_RANGE, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, first, last};
}
constexpr RecipeStep run(const char* name, int track, int c, int h, int r, int skip, int length) {
  return {RecipeStep::RUN, name, track, c, h, r, 0, skip, length, 0, 0, 0};
}
constexpr RecipeStep read(int track, int c, int h, int r, int offset, int length) {
  return {RecipeStep::READ, nullptr, track, c, h, r, offset, 0, length, 0, 0, 0};
}
constexpr RecipeStep copy(int source, int target, int length) {
  return {RecipeStep::COPY, nullptr, 0, 0, 0, 0, target, 0, length, source, 0, 0};
}
constexpr RecipeStep write(const char* name, int offset, int length) {
  return {RecipeStep::WRITE, name, 0, 0, 0, 0, offset, 0, length, 0, 0, 0};
}

}  // namespace

const char* const outputFileNames[OUTPUT_FILE_COUNT] = {"DRIVER", "MUSIC1", "MUSIC2", "MUSIC3",
                                                        "MUSIC4", "MUSIC5", "MUSIC6"};

// Every run starts at the first byte of a sector, so pieces that begin inside
// a sector are read whole into the spare area at 0x1000 and copied down.
const RecipeStep systemDiskRecipe[SYSTEM_RECIPE_STEPS] = {
    setRange(1, 5),
    run("DRIVER", 3, 1, 1, 1, 0, 0x1C00),
    read(35, 17, 1, 2, 0, 0x1200),
    read(11, 5, 1, 2, 0x1200, 0x200),
    write("MUSIC1", 0, 0x1400),
    run("MUSIC2", 36, 18, 0, 1, 0x200, 0x1600),
    run("MUSIC3", 10, 5, 0, 1, 0, 0x80),
    run("MUSIC4", 78, 39, 0, 5, 0x200, 0x100),
    read(41, 20, 1, 4, 0, 0x400),
    read(71, 35, 1, 4, 0x400, 0x100),
    read(79, 39, 1, 5, 0x1000, 0x400),
    copy(0x1300, 0x500, 0x100),
    write("MUSIC5", 0x300, 0x300),
    read(68, 34, 0, 4, 0, 0x700),
    read(58, 29, 0, 3, 0x700, 0x200),
    read(8, 4, 0, 4, 0x1000, 0x400),
    copy(0x1100, 0x900, 0x200),
    write("MUSIC6", 0, 0xB00),
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
