// d88info end to end: what it shows of built images, and a warning for each
// kind of fault.
#include <gtest/gtest.h>

#include <functional>

#include "test_util.h"

namespace d88test {
namespace {

using d88test::operator<<;  // names the cases in test listings

RunResult info(const ScratchDir& dir, const Bytes& image, std::vector<std::string> args = {}) {
  EXPECT_TRUE(writeFile(dir.file("image.d88"), image));
  args.push_back("image.d88");
  RunResult result = runProgram(D88INFO_PATH, args, dir.path());
  result.out = withoutCr(result.out);
  return result;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(D88info, CommandLine) {
  ScratchDir dir;
  struct Case {
    std::vector<std::string> args;
    int status;
    bool usageOut, usageErr;
    const char* err;
  } cases[] = {
      {{"--help"}, 0, true, false, ""},
      {{"-h"}, 0, true, false, ""},
      {{}, 1, false, true, ""},
      {{"a.d88", "b.d88"}, 1, false, true, ""},
      {{"--bogus", "a.d88"}, 1, false, true, "unknown option --bogus"},
      {{"missing.d88"}, 1, false, false, "d88info: cannot open missing.d88: "},
  };
  for (const Case& c : cases) {
    const RunResult result = runProgram(D88INFO_PATH, c.args, dir.path());
    const std::string what = c.args.empty() ? "no argument" : c.args[0];
    EXPECT_EQ(result.status, c.status) << what;
    EXPECT_EQ(has(result.out, "Usage: d88info"), c.usageOut) << what;
    EXPECT_EQ(has(result.err, "Usage: d88info"), c.usageErr) << what;
    EXPECT_TRUE(has(result.err, c.err)) << what << ": " << result.err;
  }
}

TEST(D88info, CleanSystemDiskIsCutWhole) {
  ScratchDir dir;
  const RunResult result = info(dir, buildImage({systemDisk()}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(has(result.out, "name           \"SYSTEM DISK\"")) << result.out;
  EXPECT_TRUE(has(result.out, "media type     2D (0x00)"));
  EXPECT_TRUE(has(result.out, "disk size      415840 bytes (0x65860), matches the end of the file"));
  EXPECT_TRUE(has(result.out, "tracks         80: 0-79"));
  EXPECT_TRUE(has(result.out, "sectors        411: 16 x 256 bytes, 395 x 1024 bytes"));
  EXPECT_TRUE(has(result.out, "known disk     system disk"));
  EXPECT_EQ(count(result.out, " whole\n"), 7) << result.out;
  EXPECT_TRUE(has(result.out, "\n0 warnings\n"));
  EXPECT_FALSE(has(result.out, "track   0 at offset"));  // only with --tracks
}

TEST(D88info, IncompleteSystemDiskNamesTheFirstMissingSector) {
  ScratchDir dir;
  Disk disk = systemDisk();
  disk.tracks.erase(3);
  disk.tracks.erase(11);
  for (Record& record : disk.tracks[36].records) {
    if (record.r == 3) record.data.resize(512);
  }
  const RunResult result = info(dir, buildImage({disk}));
  EXPECT_EQ(result.status, 0);
  const char* expected[] = {
      "DRIVER    7168 bytes  not cut: track 3 (C 1 H 1 R 1) is missing\n",
      "MUSIC1    5120 bytes  incomplete: track 11 (C 5 H 1 R 2) is missing\n",
      "MUSIC2    5632 bytes  incomplete: track 36 (C 18 H 0 R 3) is short\n",
      "MUSIC3     128 bytes  whole\n",
      "MUSIC4     256 bytes  whole\n",
      "MUSIC5     768 bytes  whole\n",
      "MUSIC6    2816 bytes  whole\n",
  };
  for (const char* line : expected) EXPECT_TRUE(has(result.out, line)) << line << "\n" << result.out;
  EXPECT_TRUE(has(result.out, "record 2 (C 18 H 0 R 3 N 3): data size 512, not 1024 (128 << N)"));
}

TEST(D88info, MultiDiskImage) {
  ScratchDir dir;
  Disk unknown = labelledDisk("SOMETHING ELSE..");
  unknown.name = "OTHER";
  unknown.mediaType = 0x20;
  unknown.writeProtect = 0x10;
  const Bytes image = buildImage({unknown, makerDisk(), systemDisk()});
  const std::size_t first = buildDisk(unknown).size();
  const std::size_t second = first + buildDisk(makerDisk()).size();
  const RunResult result = info(dir, image);
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(has(result.out, "3 disk images")) << result.out;
  EXPECT_TRUE(has(result.out, "disk 1 at offset 0 (0x0)\n"));
  EXPECT_TRUE(has(result.out, "disk 2 at offset " + std::to_string(first) + " "));
  EXPECT_TRUE(has(result.out, "disk 3 at offset " + std::to_string(second) + " "));
  EXPECT_TRUE(has(result.out, "media type     2HD (0x20)"));
  EXPECT_TRUE(has(result.out, "write protect  on (0x10)"));
  EXPECT_TRUE(has(result.out, "known disk     neither (label \"SOMETHING ELSE..\")"));
  EXPECT_TRUE(has(result.out, "known disk     maker disk"));
  EXPECT_TRUE(has(result.out, "known disk     system disk"));
  EXPECT_EQ(count(result.out, "the next disk image starts there"), 2);
}

TEST(D88info, TrackListing) {
  ScratchDir dir;
  Disk disk;
  disk.name = "N\x82\xa0\"";
  disk.add(0, 0, 0, 2, 1);
  disk.add(0, 0, 0, 1, 1, Bytes(300, 0)).deleted = 0x10;
  disk.tracks[0].records.back().status = 0xB0;
  const RunResult result = info(dir, buildImage({disk}), {"--tracks"});
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(has(result.out, "name           \"N\\x82\\xA0\\\"\"")) << result.out;
  EXPECT_TRUE(has(result.out,
                  "  track   0 at offset 0x2B0: 2 records\n      C   H   R   N\n"
                  "      0   0   2   1\n"
                  "      0   0   1   1  data 300 bytes  deleted mark 0x10  status 0xB0 (data CRC error)\n"))
      << result.out;
}

struct WarningCase {
  const char* what;
  std::function<Bytes()> image;
  std::string warning;  // a part of the expected warning line
};

class D88infoWarnings : public ::testing::TestWithParam<WarningCase> {};

TEST_P(D88infoWarnings, SaysWhatIsWrong) {
  const WarningCase& c = GetParam();
  ScratchDir dir;
  const RunResult result = info(dir, c.image(), {"--tracks"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  std::string line;
  const std::size_t at = result.out.find(c.warning);
  if (at != std::string::npos) {
    const std::size_t start = result.out.rfind('\n', at) + 1;
    line = result.out.substr(start, result.out.find('\n', at) - start);
  }
  EXPECT_EQ(line.rfind("warning: ", 0), 0u) << c.warning << "\n" << result.out;
}

// Track 2 (C 1, H 0): R 1..4 of 256 bytes, then track 3 (C 1, H 1): R 1.
Disk plain() {
  Disk disk;
  for (int r = 1; r <= 4; ++r) disk.add(2, 1, 0, r, 1);
  disk.add(3, 1, 1, 1, 1);
  return disk;
}

Bytes image(const Disk& disk) { return buildImage({disk}); }

Disk with(std::function<void(Disk&)> change) {
  Disk disk = plain();
  change(disk);
  return disk;
}

Bytes many(int disks) { return buildImage(std::vector<Disk>(static_cast<std::size_t>(disks), plain())); }

INSTANTIATE_TEST_SUITE_P(
    Cases, D88infoWarnings,
    ::testing::Values(
        WarningCase{"fewer than 688 bytes", [] { return Bytes(100, 0); }, "image: no disk image"},
        WarningCase{"160-entry table", [] { return image(with([](Disk& d) { d.dataStart = 672; })); },
                    "disk 1: the first track starts at 0x2A0: a 160-entry track table (672 bytes); entries 160-163 "
                    "hold sector data"},
        WarningCase{"disk size past the end of the file",
                    [] { return image(with([](Disk& d) { d.diskSize = 5000; })); },
                    "disk 1: disk size runs 2952 bytes past the end of the file"},
        WarningCase{"negative disk size", [] { return image(with([](Disk& d) { d.diskSize = 0x80000000LL; })); },
                    "disk 1: disk size 0x80000000 reads as negative"},
        WarningCase{"disk size 0", [] { return image(with([](Disk& d) { d.diskSize = 0; })); }, "disk 64: disk size 0"},
        WarningCase{"entry past the disk", [] { return image(with([](Disk& d) { d.tableOverride[7] = 0x100000; })); },
                    "disk 1 track 7: table entry 0x100000 lies past the disk size"},
        WarningCase{"entry 0xFFFFFFFF", [] { return image(with([](Disk& d) { d.tableOverride[7] = 0xFFFFFFFFu; })); },
                    "disk 1 track 7: table entry 0xFFFFFFFF (an \"unused\" mark)"},
        WarningCase{"negative entry", [] { return image(with([](Disk& d) { d.tableOverride[7] = 0x80000000u; })); },
                    "disk 1 track 7: table entry 0x80000000 reads as negative"},
        WarningCase{"entry inside the header", [] { return image(with([](Disk& d) { d.tableOverride[7] = 0x20; })); },
                    "disk 1 track 7: table entry 0x20 points into the disk header"},
        WarningCase{"same offset twice", [] { return image(with([](Disk& d) { d.tableOverride[9] = 688; })); },
                    "disk 1 tracks 2 and 9: the same table entry 0x2B0"},
        WarningCase{"byte-swapped count",
                    [] {
                      return image(with([](Disk& d) {
                        for (Record& r : d.tracks[2].records) r.count = 0x0400;
                      }));
                    },
                    "disk 1 track 2: sector count 1024 (0x0400) runs past the end of the track, which holds 4 records; "
                    "stored byte-swapped"},
        WarningCase{"count varies in a track",
                    [] { return image(with([](Disk& d) { d.tracks[2].records[1].count = 9; })); },
                    "disk 1 track 2 record 1 (C 1 H 0 R 2 N 1): sector count 9, record 0 says 4"},
        WarningCase{"count 0", [] { return image(with([](Disk& d) { d.tracks[2].records[0].count = 0; })); },
                    "disk 1 track 2: record 0 says 0 sectors"},
        WarningCase{"data size not 128 << N",
                    [] { return image(with([](Disk& d) { d.tracks[2].records[3].data.resize(300); })); },
                    "disk 1 track 2 record 3 (C 1 H 0 R 4 N 1): data size 300, not 256 (128 << N)"},
        WarningCase{"size code out of range",
                    [] { return image(with([](Disk& d) { d.tracks[2].records[3].n = 200; })); },
                    "disk 1 track 2 record 3 (C 1 H 0 R 4 N 200): size code 200 is no sector size"},
        WarningCase{"duplicate IDs", [] { return image(with([](Disk& d) { d.tracks[2].records[3].r = 2; })); },
                    "disk 1 track 2 record 3 (C 1 H 0 R 2 N 1): the same ID as record 1"},
        WarningCase{"deleted mark", [] { return image(with([](Disk& d) { d.tracks[3].records[0].deleted = 0x10; })); },
                    "disk 1 track 3 record 0 (C 1 H 1 R 1 N 1): deleted-data mark 0x10"},
        WarningCase{"CRC error status",
                    [] { return image(with([](Disk& d) { d.tracks[3].records[0].status = 0xB0; })); },
                    "disk 1 track 3 record 0 (C 1 H 1 R 1 N 1): FDC status 0xB0 (data CRC error)"},
        WarningCase{"C and H off the track", [] { return image(with([](Disk& d) { d.tracks[3].records[0].c = 7; })); },
                    "disk 1 track 3 record 0 (C 7 H 1 R 1 N 1): C 7 H 1 on track 3, where C 1 H 1 is usual"},
        WarningCase{"single-sided C and H",
                    [] {
                      return image(with([](Disk& d) {
                        d.mediaType = 0x30;
                        d.tracks[3].records[0].h = 0;
                      }));
                    },
                    "disk 1 track 3 record 0 (C 1 H 0 R 1 N 1): C 1 H 0 on track 3, where C 3 H 0 is usual"},
        WarningCase{"data cut by the end of the file",
                    [] {
                      Bytes b = image(plain());
                      b.resize(b.size() - 56);
                      return b;
                    },
                    "disk 1 track 3 record 0 (C 1 H 1 R 1 N 1): data cut by the end of the file: 200 of 256 bytes"},
        WarningCase{"record cut by the end of the file",
                    [] {
                      Bytes b = image(with([](Disk& d) { d.tracks[3].records.push_back(d.tracks[3].records[0]); }));
                      b.resize(b.size() - 256 - 6);
                      return b;
                    },
                    "disk 1 track 3: record 1 is cut by the end of the file"},
        WarningCase{"more than 64 disks", [] { return many(65); }, "image: more disk images follow the 64th"},
        WarningCase{"trailing bytes",
                    [] {
                      Bytes b = many(2);
                      b.resize(b.size() + 100, 0);
                      return b;
                    },
                    "image: 100 bytes after the last disk image"}),
    CaseName());

}  // namespace
}  // namespace d88test
