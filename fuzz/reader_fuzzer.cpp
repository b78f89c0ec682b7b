// libFuzzer target: the input is an image file; the reader is driven with
// parameters taken from the same input and its promises checked.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "fuzz_checks.h"

namespace {
struct ImagePath {
  std::string path = "/tmp/d88-reader-fuzz-" + std::to_string(getpid()) + ".d88";
  ~ImagePath() { std::remove(path.c_str()); }
};

const std::string& imagePath() {
  static const ImagePath image;
  return image.path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(imagePath().c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  const std::string problem = d88fuzz::checkReader(imagePath(), data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "broken promise: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
