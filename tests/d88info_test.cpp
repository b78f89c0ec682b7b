// d88info end to end: its verdicts, the text and JSON views of built images,
// one warning code per kind of fault, what is no D88 image, and how large a
// report may grow.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include <nlohmann/json.hpp>

#include "json_schema.h"
#include "test_util.h"

namespace d88test {
namespace {

using d88test::operator<<;  // names the cases in test listings
using nlohmann::json;

// d88info on `image`. Names in the text view follow the locale the tests
// run under; the golden outputs are ASCII whatever it is, so every run but
// those about names passes --ascii.
RunResult info(const ScratchDir& dir, const Bytes& image, std::vector<std::string> args = {}, bool ascii = true) {
  EXPECT_TRUE(writeFile(dir.file("image.d88"), image));
  if (ascii) args.insert(args.begin(), "--ascii");
  args.push_back("image.d88");
  RunResult result = runProgram(D88INFO_PATH, args, dir.path());
  result.out = withoutCr(result.out);
  result.err = withoutCr(result.err);
  return result;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

const json& schema() {
  static const json loaded = [] {
    std::ifstream in(D88INFO_SCHEMA);
    return json::parse(in);
  }();
  return loaded;
}

// d88info --json on `image`: the document, checked against the schema.
json infoJson(const Bytes& image) {
  ScratchDir dir;
  const RunResult result = info(dir, image, {"--json"});
  const json document = json::parse(result.out, nullptr, false);
  EXPECT_FALSE(document.is_discarded()) << result.out;
  EXPECT_EQ(schemaErrors(document, schema()), "");
  return document;
}

Disk plain() { return plainDisk(); }

Bytes image(const Disk& disk) { return buildImage({disk}); }

Disk with(std::function<void(Disk&)> change) {
  Disk disk = plain();
  change(disk);
  return disk;
}

Bytes many(int disks) { return buildImage(std::vector<Disk>(static_cast<std::size_t>(disks), plain())); }

TEST(D88info, CommandLine) {
  ScratchDir dir;
  writeFile(dir.file("a.d88"), image(plain()));
  writeFile(dir.file("-x.d88"), image(plain()));
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string out;  // a part of standard output
    std::string err;  // a part of standard error
  } cases[] = {
      {"--help", {"--help"}, 0, "Usage: d88info", ""},
      {"-h", {"-h"}, 0, "Usage: d88info", ""},
      {"--version", {"--version"}, 0, "d88info 0.1.0\n", ""},
      {"no argument", {}, 1, "", "Usage: d88info"},
      {"unknown option", {"--bogus", "a.d88"}, 1, "", "d88info: unknown option --bogus\nUsage: d88info"},
      {"json and summary", {"--json", "--summary", "a.d88"}, 1, "", "do not go together"},
      {"missing file", {"missing.d88"}, 1, "", "d88info: cannot open missing.d88: "},
      {"options after the file", {"a.d88", "--summary"}, 0, "a.d88: 1 disk; no known disk", ""},
      {"-- ends the options", {"--summary", "--", "-x.d88"}, 0, "-x.d88: 1 disk; no known disk", ""},
  };
  for (const Case& c : cases) {
    RunResult result = runProgram(D88INFO_PATH, c.args, dir.path());
    result.out = withoutCr(result.out);
    result.err = withoutCr(result.err);
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_TRUE(has(result.out, c.out)) << c.what << ": " << result.out;
    EXPECT_TRUE(has(result.err, c.err)) << c.what << ": " << result.err;
  }
}

// Several files: one verdict each, and the exit status says the worst.
TEST(D88info, ManyFilesAndTheirStatus) {
  ScratchDir dir;
  writeFile(dir.file("system.d88"), buildImage({systemDisk()}));
  writeFile(dir.file("maker.d88"), buildImage({makerDisk()}));
  writeFile(dir.file("notes.txt"), Bytes(1000, 'x'));
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string out;
  } cases[] = {
      {"D88 images",
       {"--summary", "system.d88", "maker.d88"},
       0,
       "system.d88: 1 disk; disk 1 is the system disk: d88cut cuts all 7 files whole; 0 warnings\n"
       "maker.d88: 1 disk; disk 1 is the maker disk: d88cut cuts nothing from it; 0 warnings\n"},
      {"and no D88 image",
       {"--summary", "system.d88", "notes.txt"},
       2,
       "system.d88: 1 disk; disk 1 is the system disk: d88cut cuts all 7 files whole; 0 warnings\n"
       "notes.txt: not a D88 image: its media byte 0x78 is none of the five D88 media types, and its disk size "
       "2021161080 lies far past the end of the file\n"},
      {"and a missing file",
       {"--summary", "notes.txt", "missing.d88", "maker.d88"},
       1,
       "notes.txt: not a D88 image: its media byte 0x78 is none of the five D88 media types, and its disk size "
       "2021161080 lies far past the end of the file\n"
       "maker.d88: 1 disk; disk 1 is the maker disk: d88cut cuts nothing from it; 0 warnings\n"},
  };
  for (const Case& c : cases) {
    RunResult result = runProgram(D88INFO_PATH, c.args, dir.path());
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_EQ(withoutCr(result.out), c.out) << c.what;
  }
}

TEST(D88info, StandardInput) {
  ScratchDir dir;
  const Bytes image = buildImage({makerDisk()});
  RunOptions options;
  options.input = &image;
  const RunResult result = runProgram(D88INFO_PATH, {"--summary", "-"}, dir.path(), options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(withoutCr(result.out), "-: 1 disk; disk 1 is the maker disk: d88cut cuts nothing from it; 0 warnings\n");
}

TEST(D88info, CleanSystemDisk) {
  ScratchDir dir;
  const RunResult result = info(dir, buildImage({systemDisk()}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "image.d88: 1 disk; disk 1 is the system disk: d88cut cuts all 7 files whole; 0 warnings\n"
            "\n"
            "disk 1 at offset 0 (0x0)\n"
            "  name           \"SYSTEM DISK\"\n"
            "  media          2D (0x00)\n"
            "  write protect  off\n"
            "  size           415840 bytes, ends at the end of the file\n"
            "  geometry       40 cylinders x 2 sides; track 0: 16 x 256 bytes; tracks 1-79: 5 x 1024 bytes\n"
            "  file system    none found (d88ls IMAGE says why)\n"
            "  known disk     the system disk; d88cut cuts these files:\n"
            "    DRIVER    7168 bytes  whole\n"
            "    MUSIC1    5120 bytes  whole\n"
            "    MUSIC2    5632 bytes  whole\n"
            "    MUSIC3     128 bytes  whole\n"
            "    MUSIC4     256 bytes  whole\n"
            "    MUSIC5     768 bytes  whole\n"
            "    MUSIC6    2816 bytes  whole\n");
}

TEST(D88info, IncompleteSystemDisk) {
  ScratchDir dir;
  const RunResult result = info(dir, buildImage({incompleteSystemDisk()}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(
      result.out,
      "image.d88: 1 disk; disk 1 is the system disk: d88cut cuts 4 of 7 files whole (DRIVER not cut, MUSIC1 "
      "incomplete, MUSIC2 incomplete); 1 warning\n"
      "\n"
      "disk 1 at offset 0 (0x0)\n"
      "  name           \"SYSTEM DISK\"\n"
      "  media          2D (0x00)\n"
      "  write protect  off\n"
      "  size           404928 bytes, ends at the end of the file\n"
      "  geometry       40 cylinders x 2 sides; track 0: 16 x 256 bytes; tracks 1-2: 5 x 1024 bytes; tracks 4-10: "
      "5 x 1024 bytes; tracks 12-35: 5 x 1024 bytes; track 36: 4 x 1024, 1 x 512 bytes; tracks 37-79: 5 x 1024 "
      "bytes\n"
      "  file system    none found (d88ls IMAGE says why)\n"
      "  known disk     the system disk; d88cut cuts these files:\n"
      "    DRIVER    7168 bytes  not cut: track 3 (C 1 H 1 R 1) is missing\n"
      "    MUSIC1    5120 bytes  incomplete: track 11 (C 5 H 1 R 2) is missing\n"
      "    MUSIC2    5632 bytes  incomplete: track 36 (C 18 H 0 R 3) is short\n"
      "    MUSIC3     128 bytes  whole\n"
      "    MUSIC4     256 bytes  whole\n"
      "    MUSIC5     768 bytes  whole\n"
      "    MUSIC6    2816 bytes  whole\n"
      "  warning: data size differs from the size code (128 << N): 1 record on track 36; first track 36 record 3 "
      "(C 18 H 0 R 3 N 3) holds 512 bytes, where N 3 means 1024 [data-size-mismatch]\n");
}

TEST(D88info, MultiDiskImage) {
  ScratchDir dir;
  Disk unknown = labelledDisk("SOMETHING ELSE..");
  unknown.name = "OTHER\x82\xa0";
  unknown.mediaType = 0x20;
  unknown.writeProtect = 0x10;
  Bytes bytes = buildImage({unknown, makerDisk(), plain()});
  bytes.resize(bytes.size() + 100, 0);
  const RunResult result = info(dir, bytes);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "image.d88: 3 disks; disk 2 is the maker disk: d88cut cuts nothing from it; 2 warnings\n"
            "\n"
            "disk 1 at offset 0 (0x0)\n"
            "  name           \"OTHER\\x82\\xA0\"\n"
            "  media          2HD (0x20)\n"
            "  write protect  on\n"
            "  size           5040 bytes, the next disk image starts there\n"
            "  geometry       1 cylinder x 2 sides; track 0: 16 x 256 bytes\n"
            "  file system    none found (d88ls IMAGE says why)\n"
            "  known disk     none; the label bytes say \"SOMETHING ELSE..\"\n"
            "  warning: media type does not match the tracks: the byte says 2HD (0x20), but the tracks look like 2D: 1 "
            "track, the fullest holding 16 x 256 bytes [media-type-mismatch]\n"
            "\n"
            "disk 2 at offset 5040 (0x13B0)\n"
            "  name           \"MAKER DISK\"\n"
            "  media          2D (0x00)\n"
            "  write protect  off\n"
            "  size           5040 bytes, the next disk image starts there\n"
            "  geometry       1 cylinder x 2 sides; track 0: 16 x 256 bytes\n"
            "  file system    none found (d88ls IMAGE says why)\n"
            "  known disk     the maker disk; d88cut recognises it and cuts nothing from it\n"
            "\n"
            "disk 3 at offset 10080 (0x2760)\n"
            "  name           \"PLAIN\"\n"
            "  media          2D (0x00)\n"
            "  write protect  off\n"
            "  size           2048 bytes, ends 100 bytes before the end of the file\n"
            "  geometry       2 cylinders x 2 sides; track 2: 4 x 256 bytes; track 3: 1 x 256 bytes\n"
            "  file system    none found (d88ls IMAGE says why)\n"
            "  known disk     none; track 0 has no sector C 0 H 0 R 1 N 1, where the label would be\n"
            "\n"
            "warning: bytes after the last disk image: 100 bytes from offset 12128 [trailing-bytes]\n");
}

TEST(D88info, TrackAndSectorListings) {
  ScratchDir dir;
  Disk disk = plain();
  disk.tracks[2].records[1].deleted = 0x10;
  disk.tracks[2].records[1].status = 0xB0;
  disk.tableOverride[9] = 688;  // where track 2 starts
  const RunResult result = info(dir, image(disk), {"--sectors"});
  EXPECT_TRUE(has(result.out,
                  "    track   2 at 0x2B0: 4 sectors, 4 x 256 bytes, R 1-4, C 1 H 0\n"
                  "    track 2 sector 1: C 1 H 0 R 1 N 1, 256 bytes\n"
                  "    track 2 sector 2: C 1 H 0 R 2 N 1, 256 bytes, deleted data (0x10), status 0xB0\n"
                  "    track 2 sector 3: C 1 H 0 R 3 N 1, 256 bytes\n"
                  "    track 2 sector 4: C 1 H 0 R 4 N 1, 256 bytes\n"
                  "    track   3 at 0x6F0: 1 sector, 1 x 256 bytes, R 1, C 1 H 1\n"
                  "    track 3 sector 1: C 1 H 1 R 1 N 1, 256 bytes\n"
                  "    track   9 at 0x2B0: same as track 2\n"))
      << result.out;
  const RunResult tracks = info(dir, image(disk), {"--tracks"});
  EXPECT_TRUE(has(tracks.out, "    track   9 at 0x2B0: same as track 2\n")) << tracks.out;
  EXPECT_FALSE(has(tracks.out, "sector 1:"));
}

struct WarningCase {
  const char* what;
  std::function<Bytes()> image;
  const char* code;
  std::string text;  // a part of the warning line
};

class D88infoWarnings : public ::testing::TestWithParam<WarningCase> {};

// Each fault gives one warning line with its code, also in the JSON view.
TEST_P(D88infoWarnings, SaysWhatIsWrong) {
  const WarningCase& c = GetParam();
  ScratchDir dir;
  const Bytes bytes = c.image();
  const RunResult result = info(dir, bytes);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.err, "");
  std::string line;
  const std::size_t at = result.out.find("[" + std::string(c.code) + "]\n");
  if (at != std::string::npos) {
    const std::size_t start = result.out.rfind('\n', at) + 1;
    line = result.out.substr(start, at - start);
  }
  EXPECT_TRUE(has(line, "warning: ")) << c.code << "\n" << result.out;
  EXPECT_TRUE(has(line, c.text)) << line;
  const json document = infoJson(bytes);
  bool found = false;
  for (const json& d : document["images"][0]["disks"]) {
    for (const json& w : d["warnings"]) found = found || w["code"] == c.code;
  }
  for (const json& w : document["images"][0]["warnings"]) found = found || w["code"] == c.code;
  EXPECT_TRUE(found) << c.code;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D88infoWarnings,
    ::testing::Values(
        WarningCase{"160-entry table", [] { return image(with([](Disk& d) { d.dataStart = 672; })); },
                    "short-track-table", "the first track starts at 0x2A0, so entries 160-163 hold sector data"},
        WarningCase{"disk size past the end of the file",
                    [] { return image(with([](Disk& d) { d.diskSize = 5000; })); }, "disk-size-past-end",
                    "by 2952 bytes: the file is cut short, or the size is wrong"},
        WarningCase{"negative disk size",
                    [] {
                      Bytes b = many(2);
                      putLe32(b, 2048 + 0x1C, 0x80000000u);
                      return b;
                    },
                    "disk-size-negative", "0x80000000: the walk over the disks ends here"},
        WarningCase{"disk size 0 after the first disk",
                    [] {
                      Bytes b = many(2);
                      putLe32(b, 2048 + 0x1C, 0);
                      return b;
                    },
                    "disk-size-zero", "reads this header again and again"},
        WarningCase{"disk size below the header",
                    [] {
                      Bytes b = many(2);
                      putLe32(b, 2048 + 0x1C, 100);
                      return b;
                    },
                    "disk-size-below-header", "100 bytes"},
        WarningCase{"unknown media type", [] { return image(with([](Disk& d) { d.mediaType = 0x55; })); },
                    "media-type-unknown", "0x55 is none of"},
        WarningCase{
            "2HD tracks on a 2D disk",
            [] {
              Disk d;
              for (int t = 0; t < 4; ++t) {
                for (int r = 1; r <= 8; ++r) d.add(t, t / 2, t % 2, r, 3);
              }
              return image(d);
            },
            "media-type-mismatch",
            "the byte says 2D (0x00), but the tracks look like 2HD: 4 tracks, the fullest holding 8 x 1024 bytes"},
        WarningCase{"name running on",
                    [] {
                      Bytes b = image(plain());
                      for (int i = 0; i < 19; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>('A' + i);
                      return b;
                    },
                    "name-runs-on", "\"ABCDEFGHIJKLMNOP\" is followed by \"QRS\""},
        WarningCase{"entry 0xFFFFFFFF", [] { return image(with([](Disk& d) { d.tableOverride[7] = 0xFFFFFFFFu; })); },
                    "track-entry-unused-mark", "read as absent: track 7"},
        WarningCase{"negative entry", [] { return image(with([](Disk& d) { d.tableOverride[7] = 0x80000000u; })); },
                    "track-entry-negative", "track 7"},
        WarningCase{"entries past the disk",
                    [] {
                      return image(with([](Disk& d) {
                        for (int t = 7; t <= 9; ++t) d.tableOverride[t] = 0x100000;
                      }));
                    },
                    "track-entry-past-disk", "tracks 7-9; first track 7, entry 0x100000"},
        WarningCase{"entry inside the header", [] { return image(with([](Disk& d) { d.tableOverride[7] = 0x20; })); },
                    "track-entry-in-header", "track 7; first track 7, entry 0x20"},
        WarningCase{"same offset twice", [] { return image(with([](Disk& d) { d.tableOverride[9] = 688; })); },
                    "shared-track-offset", "track 9; first track 9, at the offset of track 2 (entry 0x2B0)"},
        WarningCase{"empty track", [] { return image(with([](Disk& d) { d.tracks[2].records[0].count = 0; })); },
                    "empty-track", "empty track (first record says 0 sectors): track 2"},
        WarningCase{"byte-swapped count",
                    [] {
                      return image(with([](Disk& d) {
                        for (Record& r : d.tracks[2].records) r.count = 0x0400;
                      }));
                    },
                    "sector-count-too-high",
                    "track 2; first track 2 says 1024 (0x0400) and holds 4: stored byte-swapped (0x0400 is 4)"},
        WarningCase{
            "count varies in a track", [] { return image(with([](Disk& d) { d.tracks[2].records[1].count = 9; })); },
            "sector-count-varies",
            "1 record on track 2; first track 2 record 2 (C 1 H 0 R 2 N 1) says 9 where its first record says 4"},
        WarningCase{"count 0 inside a track",
                    [] { return image(with([](Disk& d) { d.tracks[2].records[2].count = 0; })); }, "zero-count-record",
                    "first track 2 record 3 (C 1 H 0 R 3 N 1)"},
        WarningCase{"data size not 128 << N",
                    [] { return image(with([](Disk& d) { d.tracks[2].records[3].data.resize(300); })); },
                    "data-size-mismatch",
                    "first track 2 record 4 (C 1 H 0 R 4 N 1) holds 300 bytes, where N 1 means 256"},
        WarningCase{"size code out of range",
                    [] { return image(with([](Disk& d) { d.tracks[2].records[3].n = 200; })); }, "size-code-invalid",
                    "first track 2 record 4 (C 1 H 0 R 4 N 200)"},
        WarningCase{
            "duplicate IDs",
            [] {
              return image(with([](Disk& d) {
                d.tracks[2].records[3].r = 2;
                d.tracks[2].records[2].r = 2;
              }));
            },
            "duplicate-sector-id",
            "duplicate sector ID: 2 records on track 2; first track 2 record 3 (C 1 H 0 R 2 N 1), the same ID as "
            "record 2: d88cut reads only the first"},
        WarningCase{"deleted mark", [] { return image(with([](Disk& d) { d.tracks[3].records[0].deleted = 0x10; })); },
                    "deleted-data", "first track 3 record 1 (C 1 H 1 R 1 N 1), mark 0x10"},
        WarningCase{"CRC error status",
                    [] { return image(with([](Disk& d) { d.tracks[3].records[0].status = 0xB0; })); }, "crc-error",
                    "status 0xB0 (data CRC error)"},
        WarningCase{"other status", [] { return image(with([](Disk& d) { d.tracks[3].records[0].status = 0xE0; })); },
                    "sector-status", "status 0xE0 (no address mark)"},
        WarningCase{"C and H off the track", [] { return image(with([](Disk& d) { d.tracks[3].records[0].c = 7; })); },
                    "id-track-mismatch", "first track 3 record 1 (C 7 H 1 R 1 N 1), where C 1 H 1 is usual"},
        WarningCase{"single-sided C and H",
                    [] {
                      return image(with([](Disk& d) {
                        d.mediaType = 0x30;
                        d.tracks[3].records[0].h = 0;
                      }));
                    },
                    "id-track-mismatch",
                    "5 records on tracks 2-3; first track 2 record 1 (C 1 H 0 R 1 N 1), where C 2 H 0 is usual"},
        WarningCase{"data cut by the end of the file",
                    [] {
                      Bytes b = image(plain());
                      b.resize(b.size() - 56);
                      return b;
                    },
                    "data-cut", "first track 3 record 1 (C 1 H 1 R 1 N 1) holds 200 of 256 bytes"},
        WarningCase{"record cut by the end of the file",
                    [] {
                      Bytes b = image(with([](Disk& d) { d.tracks[3].records.push_back(d.tracks[3].records[0]); }));
                      b.resize(b.size() - 256 - 6);
                      return b;
                    },
                    "record-cut", "track 3; first track 3 record 2"},
        WarningCase{"data past the disk size",
                    [] {
                      Bytes b = image(plain());
                      putLe32(b, 0x1C, static_cast<std::uint32_t>(b.size() - 100));
                      b.resize(b.size() + 1000, 0);
                      return b;
                    },
                    "data-past-disk", "first track 3 record 1 (C 1 H 1 R 1 N 1)"},
        WarningCase{"more than 64 disks", [] { return many(65); }, "more-than-64-disks",
                    "more disk images follow the 64th, from offset 131072; d88cut reads only the first 64"},
        WarningCase{"trailing bytes",
                    [] {
                      Bytes b = many(2);
                      b.resize(b.size() + 100, 0);
                      return b;
                    },
                    "trailing-bytes", "100 bytes from offset 4096"}),
    CaseName());

// A real writer's zero padding is no sector: four empty tracks, one warning.
TEST(D88info, ZeroPaddedTracks) {
  ScratchDir dir;
  const RunResult result = info(dir, zeroPaddedImage());
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(has(result.out, "image.d88: 1 disk; no known disk: d88cut cuts nothing from it; 1 warning\n"))
      << result.out;
  EXPECT_TRUE(
      has(result.out, "  geometry       40 cylinders x 2 sides; tracks 0-79: 16 x 256 bytes; tracks 80-83: empty\n"))
      << result.out;
  EXPECT_TRUE(has(result.out, "  warning: empty track (first record says 0 sectors): tracks 80-83 [empty-track]\n"));
  const json document = infoJson(zeroPaddedImage());
  int sectors = 0;
  for (const json& t : document["images"][0]["disks"][0]["tracks"]) sectors += static_cast<int>(t["sectors"].size());
  EXPECT_EQ(sectors, 1280);
}

// A chain of empty records that every track points at is walked once; its
// thousands of faults are a few lines.
TEST(D88info, HostileChainIsOneShortReport) {
  ScratchDir dir;
  const RunResult result = info(dir, emptyChainImage(3000, 1));
  EXPECT_EQ(result.status, 0);
  EXPECT_LT(lines(result.out), 30) << result.out;
  EXPECT_TRUE(has(result.out,
                  "tracks at the same offset as an earlier track (analysed once): tracks 1-163; first "
                  "track 1, at the offset of track 0 (entry 0x2B0) [shared-track-offset]"))
      << result.out;
  EXPECT_TRUE(has(result.out, "data size differs from the size code (128 << N): 2999 records on track 0;"));
  EXPECT_TRUE(has(result.out, "duplicate sector ID: 2998 records on track 0; first track 0 record 2"));
}

// Reports stay small whatever an image of 1 MB holds.
TEST(D88info, ReportsAreBoundedByTheImage) {
  // 164 tracks of 399 records, every record faulty in several ways.
  Disk disk;
  for (int t = 0; t < 164; ++t) {
    for (int r = 0; r < 399; ++r) {
      Record& record = disk.add(t, 0xEE, 0xEE, 1, 7, Bytes());
      record.deleted = 0x10;
      record.status = 0xB0;
    }
  }
  disk.tracks[0].records[0].n = 1;  // one real sector: a D88 image all the same
  disk.tracks[0].records[0].data = Bytes(256, 0);
  const Bytes wide = buildImage({disk});
  ASSERT_LE(wide.size(), 1u << 20);
  // 64 small disks, each with every kind of header fault it can have.
  Disk small = with([](Disk& d) {
    d.mediaType = 0x55;
    for (int t = 40; t < 164; t += 2) d.tableOverride[t] = 0x80000000u + static_cast<std::uint32_t>(t);
    for (int t = 41; t < 164; t += 2) d.tableOverride[t] = 0x100000 + static_cast<std::uint32_t>(t);
  });
  const Bytes disks = buildImage(std::vector<Disk>(64, small));
  for (const Bytes* bytes : {&wide, &disks}) {
    ScratchDir dir;
    const RunResult text = info(dir, *bytes);
    EXPECT_EQ(text.status, 0);
    EXPECT_LE(text.out.size(), 64u * 1024) << text.out.substr(0, 2000);
    const RunResult json = info(dir, *bytes, {"--json"});
    EXPECT_LE(json.out.size(), 16u * 1024 * 1024);
  }
}

struct NotD88Case {
  const char* what;
  std::function<Bytes()> image;
  std::string reason;
};

class D88infoNotD88 : public ::testing::TestWithParam<NotD88Case> {};

TEST_P(D88infoNotD88, SaysSoInOneLine) {
  const NotD88Case& c = GetParam();
  ScratchDir dir;
  const Bytes bytes = c.image();
  const RunResult result = info(dir, bytes);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "image.d88: not a D88 image: " + c.reason + "\n");
  const json document = infoJson(bytes);
  EXPECT_EQ(document["images"][0]["d88"], false);
  EXPECT_EQ(document["images"][0]["reason"], c.reason);
}

Bytes text() {
  const std::string line = "This is a text file, not a disk image. It has many lines like this one.\n";
  std::string all;
  while (all.size() < 4000) all += line;
  return Bytes(all.begin(), all.end());
}

Bytes randomBytes() {
  std::mt19937 random(88);
  Bytes bytes(100000);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// The header of a raw PC-98 image format: a 32-byte header of 32-bit fields
// padded with zeros to 4096 bytes, then sector data.
Bytes otherFormat() {
  Bytes bytes(4096 + 77 * 2 * 8 * 1024, 0xE5);
  std::fill(bytes.begin(), bytes.begin() + 4096, 0);
  putLe32(bytes, 0x04, 0x90);
  putLe32(bytes, 0x08, 4096);
  putLe32(bytes, 0x0C, 77 * 2 * 8 * 1024);
  putLe32(bytes, 0x10, 1024);
  putLe32(bytes, 0x14, 8);
  putLe32(bytes, 0x18, 2);
  putLe32(bytes, 0x1C, 77);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D88infoNotD88,
    ::testing::Values(
        NotD88Case{"fewer than 688 bytes", [] { return Bytes(100, 0); },
                   "100 bytes, fewer than the 688 of a disk header"},
        NotD88Case{"text", text,
                   "its media byte 0x64 is none of the five D88 media types, and its disk size 543912809 lies far past "
                   "the end of the file"},
        NotD88Case{
            "random bytes", randomBytes,
            "its media byte 0x8D is none of the five D88 media types, and its disk size 1879133539 lies far past "
            "the end of the file"},
        NotD88Case{"another format's header", otherFormat,
                   "its disk size 77 is smaller than a disk header, and its track table is empty"},
        NotD88Case{"table entries leading nowhere",
                   [] {
                     Bytes b = randomBytes();
                     b[0x1B] = 0x20;
                     putLe32(b, 0x1C, static_cast<std::uint32_t>(b.size() / 2));
                     return b;
                   },
                   "none of its 164 track-table entries leads to a sector record"}),
    CaseName());

// A first disk that looks like no D88 disk does not hide a system disk
// after it: d88cut cuts from such an image, so it is a D88 image.
TEST(D88info, AJunkFirstDiskBeforeTheSystemDisk) {
  ScratchDir dir;
  Bytes junk = randomBytes();
  junk.resize(20000);
  junk[0x1B] = 0x00;
  putLe32(junk, 0x1C, static_cast<std::uint32_t>(junk.size()));
  const Bytes system = buildImage({systemDisk()});
  junk.insert(junk.end(), system.begin(), system.end());
  const RunResult result = info(dir, junk, {"--summary"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("image.d88: 2 disks; disk 2 is the system disk: d88cut cuts all 7 files whole;", 0), 0u)
      << result.out;
}

// Every JSON document: the schema, and the fields that programs rely on.
TEST(D88infoJson, FieldsOfASystemDisk) {
  const json clean = infoJson(buildImage({systemDisk()}));
  const json& first = clean["images"][0];
  EXPECT_EQ(clean["d88info"], 1);
  EXPECT_EQ(first["path"], "image.d88");
  EXPECT_EQ(first["d88"], true);
  EXPECT_EQ(first["verdict"],
            "image.d88: 1 disk; disk 1 is the system disk: d88cut cuts all 7 files whole; 0 warnings");
  const json& disk = first["disks"][0];
  EXPECT_EQ(disk["number"], 1);
  EXPECT_EQ(disk["name"], "SYSTEM DISK");
  EXPECT_EQ(disk["media_type"], "2D");
  EXPECT_EQ(disk["known"], "system");
  EXPECT_EQ(disk["files"].size(), 7u);
  EXPECT_EQ(disk["files"][0]["state"], "whole");
  // MUSIC5: the tail of track 41 R 4, the head of track 71 R 4, the tail of track 79 R 5.
  EXPECT_EQ(disk["files"][5]["sectors"], json::parse(R"([{"track": 41, "c": 20, "h": 1, "r": 4, "record": 4},
      {"track": 71, "c": 35, "h": 1, "r": 4, "record": 4}, {"track": 79, "c": 39, "h": 1, "r": 5, "record": 5}])"));
  EXPECT_EQ(disk["files"][0]["sectors"].size(), 7u);
  EXPECT_EQ(disk["tracks"].size(), 80u);
  EXPECT_EQ(disk["tracks"][3]["sectors"][0], json({{"c", 1},
                                                   {"h", 1},
                                                   {"r", 1},
                                                   {"n", 3},
                                                   {"size", 1024},
                                                   {"deleted", false},
                                                   {"status", 0},
                                                   {"kind", "normal"}}));
}

// The kind of each sector, the first that applies.
TEST(D88infoJson, SectorKinds) {
  Disk kinds = plain();
  kinds.tracks[2].records[0].deleted = 0x10;
  kinds.tracks[2].records[0].status = 0x10;  // the deleted mark's own status
  kinds.tracks[2].records[1].deleted = 0x10;
  kinds.tracks[2].records[1].status = 0xB0;
  kinds.tracks[2].records[2].data.resize(300);
  kinds.tracks[2].records[3].status = 0xE0;
  const json kindsJson = infoJson(image(kinds));
  std::vector<std::string> seen;
  for (const json& sector : kindsJson["images"][0]["disks"][0]["tracks"][0]["sectors"]) seen.push_back(sector["kind"]);
  EXPECT_EQ(seen, (std::vector<std::string>{"deleted", "error", "odd-size", "error"}));
}

TEST(D88infoJson, FilesNotCutWhole) {
  const json incomplete = infoJson(buildImage({incompleteSystemDisk()}));
  json driver = incomplete["images"][0]["disks"][0]["files"][0];
  json missingSectors = json::array();
  for (int r = 1; r <= 5; ++r) {
    missingSectors.push_back({{"track", 3}, {"c", 1}, {"h", 1}, {"r", r}, {"record", nullptr}, {"why", "missing"}});
  }
  EXPECT_EQ(driver, json({{"name", "DRIVER"},
                          {"size", 7168},
                          {"state", "not cut"},
                          {"text", "not cut: track 3 (C 1 H 1 R 1) is missing"},
                          {"track", 3},
                          {"c", 1},
                          {"h", 1},
                          {"r", 1},
                          {"why", "missing"},
                          {"sectors", json::array()},
                          {"failed", missingSectors},
                          {"leftovers", json::array({{{"from", 0}, {"to", 7168}, {"sector", nullptr}}})}}));
  EXPECT_EQ(incomplete["images"][0]["disks"][0]["files"][2]["why"], "short");
}

// Names are Shift-JIS: decoded in name, lossless in name_hex.
TEST(D88infoJson, NameBytes) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string name;  // UTF-8
    const char* encoding;
  } cases[] = {
      {"kanji and katakana", "\x89\xB9\x8A\x79\x83\x66\x83\x42\x83\x58\x83\x4E",
       "\xE9\x9F\xB3\xE6\xA5\xBD\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF", "shift_jis"},
      {"half-width katakana", "\xB6\xDE\xD1", "\xEF\xBD\xB6\xEF\xBE\x9E\xEF\xBE\x91", "shift_jis"},
      {"a byte that is no character",
       "A\x80"
       "B",
       "A\xEF\xBF\xBD"
       "B",
       "undecodable"},
      {"ASCII with a control byte", "AB\x01", "AB\x01", "ascii"},
  };
  for (const Case& c : cases) {
    Disk named = plain();
    named.name = c.bytes;
    const json document = infoJson(image(named));
    const json& disk = document["images"][0]["disks"][0];
    EXPECT_EQ(disk["name"], c.name) << c.what;
    EXPECT_EQ(disk["name_encoding"], c.encoding) << c.what;
    std::string hex;
    for (unsigned char b : c.bytes) {
      static const char digits[] = "0123456789ABCDEF";
      hex += digits[b >> 4];
      hex += digits[b & 0xF];
    }
    EXPECT_EQ(disk["name_hex"], hex) << c.what;
    EXPECT_EQ(disk["known"], nullptr);
  }
}

// The text view decodes names under a UTF-8 locale, and escapes them with
// --ascii or under another locale.
TEST(D88info, NamesInTheTextView) {
  Disk named = plain();
  named.name = "\x89\xB9\x8A\x79\xB6\x80";
  ScratchDir dir;
  const std::string decoded = "  name           \"\xE9\x9F\xB3\xE6\xA5\xBD\xEF\xBD\xB6\\x80\"\n";
  const std::string escapes = "  name           \"\\x89\\xB9\\x8Ay\\xB6\\x80\"\n";
#ifndef _WIN32
  setenv("LC_ALL", "C.UTF-8", 1);
  EXPECT_TRUE(has(info(dir, image(named), {}, false).out, decoded));
  EXPECT_TRUE(has(info(dir, image(named), {"--ascii"}, false).out, escapes));
  setenv("LC_ALL", "C", 1);
  EXPECT_TRUE(has(info(dir, image(named), {}, false).out, escapes));
  unsetenv("LC_ALL");
#else
  // Redirected on Windows: no console, so escapes.
  EXPECT_TRUE(has(info(dir, image(named), {}, false).out, escapes));
#endif
}

TEST(D88infoJson, SharedTrackOffsets) {
  const json hostile = infoJson(emptyChainImage(500, 2));
  EXPECT_EQ(hostile["images"][0]["disks"][0]["tracks"][5]["same_as"], 0);
  json warning;
  for (const json& w : hostile["images"][0]["disks"][0]["warnings"]) {
    if (w["code"] == "shared-track-offset") warning = w;
  }
  EXPECT_EQ(warning["count"], 163);
  EXPECT_EQ(warning["track"], 1);
  EXPECT_EQ(warning["record"], nullptr);
}

}  // namespace
}  // namespace d88test
