// The reader gives the same answers whatever its bytes come from: a file
// read in place, a block of memory, a stream read whole, or a pipe.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "d88/d88_image.h"
#include "fuzz_checks.h"
#include "test_util.h"

namespace d88test {
namespace {

using d88::D88Image;

// Seed images (complete, multi-disk, malformed) and a few more shapes.
std::vector<std::pair<std::string, Bytes>> images() {
  std::vector<std::pair<std::string, Bytes>> all = seedImages();
  all.emplace_back("empty", Bytes());
  all.emplace_back("header only", Bytes(688, 0));
  all.emplace_back("system disk", buildImage({systemDisk()}));
  // Larger than the read window, so that lookups cross window fills.
  all.emplace_back("three large disks", buildImage({fillerDisk2HD(1), makerDisk(), compactSystemDisk()}));
  return all;
}

#ifndef _WIN32
// Opens the read end of a pipe by its path while a thread feeds `bytes`.
bool openPipe(D88Image& reader, const Bytes& bytes) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::thread feed([&] {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t wrote = write(fds[1], bytes.data() + done, bytes.size() - done);
      if (wrote <= 0) break;
      done += static_cast<std::size_t>(wrote);
    }
    close(fds[1]);
  });
  const bool opened = reader.open(("/dev/fd/" + std::to_string(fds[0])).c_str());
  feed.join();
  close(fds[0]);
  return opened;
}
#endif

TEST(ReaderSources, FileMemoryStreamAndPipeAgree) {
  for (const auto& [name, bytes] : images()) {
    ScratchDir dir;
    const std::string path = dir.file("image.d88");
    ASSERT_TRUE(writeFile(path, bytes));

    D88Image fromFile;
    ASSERT_TRUE(fromFile.open(path.c_str())) << name;
    const std::string expected = d88fuzz::readerDigest(fromFile);

    D88Image fromMemory;
    ASSERT_TRUE(fromMemory.openMemory(bytes.data(), static_cast<std::int64_t>(bytes.size()))) << name;
    EXPECT_EQ(d88fuzz::readerDigest(fromMemory), expected) << name;

    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    D88Image fromStream;
    EXPECT_TRUE(fromStream.openStream(stream)) << name;
    std::fclose(stream);  // the reader holds its own copy
    EXPECT_EQ(d88fuzz::readerDigest(fromStream), expected) << name;

#ifndef _WIN32
    D88Image fromPipe;
    ASSERT_TRUE(openPipe(fromPipe, bytes)) << name;
    EXPECT_EQ(d88fuzz::readerDigest(fromPipe), expected) << name;
#endif
  }
}

TEST(ReaderSources, MemoryThatCannotBeAnImage) {
  D88Image reader;
  const unsigned char byte = 0;
  EXPECT_FALSE(reader.openMemory(nullptr, 5));
  EXPECT_FALSE(reader.openMemory(&byte, -1));
  EXPECT_FALSE(reader.openMemory(&byte, std::int64_t{1} << 31));
  EXPECT_FALSE(reader.selectDisk(0));
  // Empty memory is an image without disks, like an empty file.
  EXPECT_TRUE(reader.openMemory(nullptr, 0));
  EXPECT_EQ(reader.diskCount(), 0);
  EXPECT_EQ(reader.fileSize(), 0);
}

// Lookups on a track whose records form one long chain of empty records, all
// tracks pointing at it: every lookup walks the chain, and the results are
// those of a plain walk.
TEST(ReaderSources, EmptyChainLookups) {
  const Bytes bytes = emptyChainImage(3000, 2);
  D88Image reader;
  ASSERT_TRUE(reader.openMemory(bytes.data(), static_cast<std::int64_t>(bytes.size())));
  ASSERT_EQ(reader.diskCount(), 2);
  for (int disk = 0; disk < 2; ++disk) {
    ASSERT_TRUE(reader.selectDisk(disk));
    unsigned char sector[256];
    for (int track : {0, 1, 163}) {
      EXPECT_EQ(reader.readSector(track, 0, 0, 1, 1, sector, 256), 256) << track;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(sector) + 1, 16), SYSTEM_LABEL);
      EXPECT_EQ(reader.readSector(track, 1, 1, 1, 3, sector, 256), 0) << track;
      EXPECT_EQ(reader.readTrackIds(track, sector, 256), 256);
    }
  }
}

// Past the bound on kept lookup tables a track is walked on each lookup,
// with the same results.
TEST(ReaderSources, ChainLongerThanTheLookupBound) {
  constexpr std::size_t RECORDS = (std::size_t{1} << 22) + 10;
  Bytes bytes(688 + 16 * RECORDS + 16 + 256, 0);
  for (int t = 0; t < 164; ++t) putLe32(bytes, 0x20 + 4 * static_cast<std::size_t>(t), 688);
  putLe32(bytes, 0x1C, static_cast<std::uint32_t>(bytes.size()));
  for (std::size_t i = 0; i <= RECORDS; ++i) {
    const std::size_t at = 688 + 16 * i;
    bytes[at] = bytes[at + 1] = bytes[at + 2] = 0xFF;
    putLe16(bytes, at + 4, 1);  // count 1: only the first record ends the walk by its count
  }
  const std::size_t last = 688 + 16 * RECORDS;
  bytes[last] = bytes[last + 1] = 0;
  bytes[last + 2] = bytes[last + 3] = 1;
  putLe16(bytes, last + 14, 256);
  bytes[last + 16] = 0x5A;
  putLe16(bytes, 688 + 4, 2);  // the first record must not end the walk
  D88Image reader;
  ASSERT_TRUE(reader.openMemory(bytes.data(), static_cast<std::int64_t>(bytes.size())));
  ASSERT_TRUE(reader.selectDisk(0));
  unsigned char sector[256] = {};
  for (int track : {0, 5}) {
    EXPECT_EQ(reader.readSector(track, 0, 0, 1, 1, sector, 256), 256);
    EXPECT_EQ(sector[0], 0x5A);
    EXPECT_EQ(reader.readSector(track, 0, 0, 2, 1, sector, 256), 0);
  }
}

#ifndef _WIN32
const std::vector<std::string> FILES = {"DRIVER", "MUSIC1", "MUSIC2", "MUSIC3", "MUSIC4", "MUSIC5", "MUSIC6"};

// d88cut reading a pipe cuts what it cuts from the file itself.
TEST(D88cutPipe, CutsTheSameFilesAsFromTheFile) {
  const Disk disk = systemDisk();
  const Bytes image = buildImage({labelledDisk("SOMETHING ELSE.."), makerDisk(), disk});
  ScratchDir fromFile, fromPipe;
  ASSERT_TRUE(writeFile(fromFile.file("image.d88"), image));
  const RunResult expected = runProgram(D88CUT_PATH, {"image.d88"}, fromFile.path());
  RunOptions options;
  options.input = &image;
  const RunResult piped = runProgram(D88CUT_PATH, {"/dev/stdin"}, fromPipe.path(), options);
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out, expected.out);
  EXPECT_EQ(piped.err, expected.err);
  for (const std::string& name : FILES) {
    EXPECT_TRUE(sameBytes(readFile(fromFile.file(name)), readFile(fromPipe.file(name)))) << name;
  }
}

TEST(D88cutPipe, EmptyPipeIsAnEmptyImage) {
  const Bytes nothing;
  ScratchDir dir;
  RunOptions options;
  options.input = &nothing;
  const RunResult result = runProgram(D88CUT_PATH, {"/dev/stdin"}, dir.path(), options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
#endif

}  // namespace
}  // namespace d88test
