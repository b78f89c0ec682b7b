// libFuzzer target: the whole of d88cut on the input, in a scratch folder;
// only the seven known files may appear there, each with its fixed size.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "fuzz_checks.h"

int d88cutMain(int argc, char** argv);  // tool/main.cpp, built with main renamed
extern bool outputFailed;

namespace {

struct Scratch {
  std::string dir;
  std::string image;
  std::string home;  // where libFuzzer's relative paths point
  Scratch() {
    char pattern[] = "/tmp/d88-tool-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    dir = pattern;
    image = dir + ".d88";
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) std::abort();
    home = cwd;
    // The progress lines would drown the fuzzer's own output.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  }
  ~Scratch() {
    std::remove(image.c_str());
    rmdir(dir.c_str());
  }
};

const Scratch& scratch() {
  static const Scratch s;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Scratch& s = scratch();
  std::FILE* file = std::fopen(s.image.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  outputFailed = false;
  char program[] = "d88cut";
  std::string imageArg = s.image;
  char* argv[] = {program, imageArg.data(), nullptr};
  if (chdir(s.dir.c_str()) != 0) std::abort();
  const int status = d88cutMain(2, argv);
  if (chdir(s.home.c_str()) != 0) std::abort();
  const std::string problem = d88fuzz::checkToolOutput(s.dir);
  if (status != 0 || !problem.empty()) {
    std::fprintf(stderr, "d88cut status %d: %s\n", status, problem.c_str());
    std::abort();
  }
  return 0;
}
