// Replays the fuzz seeds and every kept fuzzing input through the reader's
// promises and through the built d88cut and d88info.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_checks.h"
#include "test_util.h"

namespace d88test {
namespace {

namespace fs = std::filesystem;

void replay(const std::string& what, const Bytes& bytes) {
  ScratchDir dir;
  const std::string image = dir.file("input.d88");
  ASSERT_TRUE(writeFile(image, bytes));
  EXPECT_EQ(d88fuzz::checkReader(image, bytes.data(), bytes.size()), "") << what;
  ScratchDir out;
  const RunResult result = runProgram(D88CUT_PATH, {image}, out.path());
  EXPECT_EQ(result.status, 0) << what << "\n" << result.err;
  EXPECT_EQ(d88fuzz::checkToolOutput(out.path()), "") << what;
  // 2: the input is no D88 image, which d88info says in one line.
  const RunResult shown = runProgram(D88INFO_PATH, {"--sectors", image}, out.path());
  EXPECT_TRUE(shown.status == 0 || shown.status == 2) << what << "\n" << shown.err;
  EXPECT_EQ(shown.err, "") << what;
}

TEST(Regressions, SeedsKeepThePromises) {
  for (const auto& [name, bytes] : seedImages()) replay(name, bytes);
}

TEST(Regressions, KeptInputsKeepThePromises) {
  int replayed = 0;
  for (const auto& entry : fs::directory_iterator(D88_REGRESSIONS_DIR)) {
    if (entry.path().extension() == ".md") continue;
    replay(entry.path().filename().string(), readFile(entry.path().string()));
    ++replayed;
  }
  RecordProperty("replayed", replayed);
}

}  // namespace
}  // namespace d88test
