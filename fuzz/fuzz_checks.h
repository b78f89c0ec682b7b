// What the reader and d88cut promise whatever the image holds, checked on one
// input. Shared by the fuzz targets and by the tests that replay every kept
// input.
#ifndef FUZZ_FUZZ_CHECKS_H
#define FUZZ_FUZZ_CHECKS_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "d88/d88_image.h"

namespace d88fuzz {

// Says which promise the input broke, and stops the fuzzer on it.
[[noreturn]] inline void fail(const std::string& what) {
  std::fprintf(stderr, "broken promise: %s\n", what.c_str());
  std::abort();
}

// Opens `imagePath` (holding `data`) as a file and `data` as memory, drives
// every reader operation on both with parameters taken from the end of
// `data`, and checks the promises and that both say the same. Returns "" or
// the broken promise.
std::string checkReader(const std::string& imagePath, const std::uint8_t* data, std::size_t size);

// Everything the reader says of the image it holds: the index, each disk's
// header fields, and for every track its entry, offset, listings, lookups
// of every listed ID and runs from each, as text. Two sources of the same
// bytes must give the same digest.
std::string readerDigest(d88::D88Image& reader);

// After a run of d88cut in `dir`: only the seven output names, each with its
// fixed size. Removes them. Returns "" or what is wrong.
std::string checkToolOutput(const std::string& dir);

}  // namespace d88fuzz

#endif  // FUZZ_FUZZ_CHECKS_H
