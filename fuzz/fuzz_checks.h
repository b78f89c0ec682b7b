// What the reader and d88cut promise whatever the image holds, checked on one
// input. Shared by the fuzz targets and by the tests that replay every kept
// input.
#ifndef FUZZ_FUZZ_CHECKS_H
#define FUZZ_FUZZ_CHECKS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace d88fuzz {

// Opens `imagePath` (holding `data`) and drives every reader operation with
// parameters taken from the end of `data`. Returns "" or the broken promise.
std::string checkReader(const std::string& imagePath, const std::uint8_t* data, std::size_t size);

// After a run of d88cut in `dir`: only the seven output names, each with its
// fixed size. Removes them. Returns "" or what is wrong.
std::string checkToolOutput(const std::string& dir);

}  // namespace d88fuzz

#endif  // FUZZ_FUZZ_CHECKS_H
