// Helpers shared by the tests: scratch folders, running a built program,
// and byte comparisons that show where two buffers differ.
#ifndef TESTS_TEST_UTIL_H
#define TESTS_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "d88_builder.h"

namespace d88test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

struct RunResult {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

struct RunOptions {
  std::string argv0;                // empty: the program's path
  std::int64_t fileSizeLimit = -1;  // bytes; -1: none (POSIX only)
  const Bytes* input = nullptr;     // standard input through a pipe; null: an empty device
  bool mergeErrors = false;         // standard error into standard output, as `2>&1` does
};

// Runs `program` with `args` in folder `dir`, started directly (no shell),
// and collects what it printed and its exit status.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                     const RunOptions& options = {});

// `text` as a console program writes it in text mode: CR LF on Windows.
std::string console(const std::string& text);
// `text` without the CRs of CR LF line ends.
std::string withoutCr(std::string text);

// Equal byte buffers, or a failure showing the first difference as hex.
::testing::AssertionResult sameBytes(const Bytes& expected, const Bytes& actual);

// Names parameterised cases after their `what` field.
struct CaseName {
  template <class Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
    std::string name = info.param.what;
    for (char& ch : name) {
      if (!((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9'))) ch = '_';
    }
    return name;
  }
};

// Prints a case by its `what` field in test listings and failures.
template <class Case>
auto operator<<(std::ostream& os, const Case& c) -> decltype(c.what, os) {
  return os << c.what;
}

Bytes concat(const std::vector<Bytes>& parts);
Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to);  // [from, to)

}  // namespace d88test

#endif  // TESTS_TEST_UTIL_H
