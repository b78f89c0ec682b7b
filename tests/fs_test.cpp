// The file systems on disks: FAT12 images made by mtools (d88ls lists what
// mcopy reads, d88get writes what mcopy writes), N88-BASIC, Hu-BASIC and
// F-BASIC disks built here, damaged tables, the real samples, and names
// that must never leave the folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "d88/d88_image.h"
#include "fs/filesystem.h"
#include "json_schema.h"
#include "test_util.h"

namespace d88test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A disk of `slots` tracks of `spt` sectors of 256 << ... bytes each, all
// 0xE5 but the sectors given.
struct SectorDisk {
  SectorDisk(int slots_, int spt_, int sizeCode_ = 1, int media_ = 0x00, bool singleSided_ = false)
      : slots(slots_), spt(spt_), sizeCode(sizeCode_), media(media_), singleSided(singleSided_) {}
  int slots;
  int spt;
  int sizeCode;
  int media;
  bool singleSided;
  std::map<std::pair<int, int>, Bytes> sectors;  // (slot, R) -> bytes

  Bytes& at(int slot, int r) {
    Bytes& b = sectors[{slot, r}];
    if (b.empty()) b.assign(128u << sizeCode, 0xE5);
    return b;
  }
  Bytes build() const {
    Disk d;
    d.mediaType = static_cast<std::uint8_t>(media);
    for (int slot = 0; slot < slots; ++slot) {
      for (int r = 1; r <= spt; ++r) {
        const auto found = sectors.find({slot, r});
        const Bytes data = found != sectors.end() ? found->second : Bytes(128u << sizeCode, 0xE5);
        d.add(slot, singleSided ? slot : slot / 2, singleSided ? 0 : slot % 2, r, sizeCode, data);
      }
    }
    return buildImage({d});
  }
};

// A raw image (sectors in C, H, R order) as a D88 image.
Bytes wrapRaw(const Bytes& raw, int heads, int spt, int sizeCode, int media) {
  const std::size_t size = 128u << sizeCode;
  SectorDisk d(static_cast<int>(raw.size() / size / static_cast<std::size_t>(spt)), spt, sizeCode, media, heads == 1);
  for (int slot = 0; slot < d.slots; ++slot) {
    for (int r = 1; r <= spt; ++r) {
      const std::size_t at =
          (static_cast<std::size_t>(slot) * static_cast<std::size_t>(spt) + static_cast<std::size_t>(r - 1)) * size;
      d.sectors[{slot, r}] =
          Bytes(raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
  }
  return d.build();
}

json ls(const ScratchDir& dir, const Bytes& image, int disk = 1) {
  EXPECT_TRUE(writeFile(dir.file("image.d88"), image));
  const RunResult r = runProgram(D88LS_PATH, {"--json", "--disk", std::to_string(disk), "image.d88"}, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  const json doc = json::parse(r.out, nullptr, false);
  EXPECT_FALSE(doc.is_discarded()) << r.out;
  static const json schema = [] {
    std::ifstream in(D88LS_SCHEMA);
    return json::parse(in);
  }();
  EXPECT_EQ(schemaErrors(doc, schema), "");
  return doc.is_discarded() ? json() : doc["images"][0]["disks"][0];
}

// Every file under `root`, by its path from there, with its bytes.
std::map<std::string, Bytes> tree(const fs::path& root) {
  std::map<std::string, Bytes> out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) out[fs::relative(e.path(), root).generic_u8string()] = readFile(e.path().string());
  }
  return out;
}

struct FatCase {
  const char* what;
  const char* name;  // the fixture
  int heads, spt, sizeCode, media;
  bool dropBpb;  // the boot sector without a BPB: found by the media byte
};

class Fat12 : public ::testing::TestWithParam<FatCase> {};

TEST_P(Fat12, ListsWhatMdirListsAndWritesWhatMcopyWrites) {
  const FatCase& c = GetParam();
  const fs::path fixtures = D88_FAT_FIXTURES;
  if (!fs::exists(fixtures / "done")) GTEST_SKIP() << "no mtools: no FAT fixtures";
  Bytes raw = readFile((fixtures / (std::string(c.name) + ".img")).string());
  if (c.dropBpb) std::fill(raw.begin() + 0x0B, raw.begin() + 0x1E, 0);
  ScratchDir dir;
  const json disk = ls(dir, wrapRaw(raw, c.heads, c.spt, c.sizeCode, c.media));
  EXPECT_EQ(disk["filesystem"], "fat12") << disk["why"];
  const std::map<std::string, Bytes> expected = tree(fixtures / c.name);
  std::map<std::string, std::int64_t> listed;
  for (const json& f : disk["files"]) {
    if (f["kind"] == "file") listed[f["path"]] = f["size"];
  }
  std::map<std::string, std::int64_t> sizes;
  for (const auto& [path, bytes] : expected) sizes[path] = static_cast<std::int64_t>(bytes.size());
  EXPECT_EQ(listed, sizes);
  EXPECT_TRUE(listed.count("SUB/A long file name.txt"));
  // FRAG.BIN fills the gap GAP1.BIN left and goes on after GAP2.BIN.
  for (const json& f : disk["files"]) {
    if (f["path"] != "FRAG.BIN") continue;
    bool jump = false;
    for (std::size_t i = 1; i < f["sectors"].size(); ++i) {
      jump = jump || f["sectors"][i]["track"] != f["sectors"][i - 1]["track"] ||
             f["sectors"][i]["r"].get<int>() != f["sectors"][i - 1]["r"].get<int>() + 1;
    }
    EXPECT_TRUE(jump) << "FRAG.BIN is not fragmented";
  }
  EXPECT_TRUE(disk["warnings"].empty()) << disk["warnings"];
  const RunResult got = runProgram(D88GET_PATH, {"-C", "out", "image.d88"}, dir.path());
  EXPECT_EQ(got.status, 0) << got.err;
  const std::map<std::string, Bytes> written = tree(fs::path(dir.path()) / "out");
  EXPECT_EQ(written.size(), expected.size());
  for (const auto& [path, bytes] : expected) {
    ASSERT_TRUE(written.count(path)) << path;
    EXPECT_TRUE(sameBytes(bytes, written.at(path))) << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Fat12,
                         ::testing::Values(FatCase{"720 KB", "720k", 2, 9, 2, 0x10, false},
                                           FatCase{"1.44 MB", "1440k", 2, 18, 2, 0x20, false},
                                           FatCase{"1.2 MB", "1200k", 2, 15, 2, 0x20, false},
                                           FatCase{"PC-98 1024-byte sectors", "pc98", 2, 8, 3, 0x20, false},
                                           FatCase{"320 KB without a BPB", "320k", 2, 8, 2, 0x00, true}),
                         CaseName());

// ---- the BASICs -----------------------------------------------------------

// An N88-BASIC 2D disk: the system track at slot 37, clusters of 8 sectors.
struct N88 {
  SectorDisk disk{80, 16, 1, 0, false};
  int dirAt = 0;
  N88() {
    for (int r = 14; r <= 16; ++r) {
      Bytes& fat = disk.at(37, r);
      std::fill(fat.begin(), fat.end(), 0xFF);
      fat[74] = fat[75] = 0xFE;
    }
    for (int r = 1; r <= 12; ++r) std::fill(disk.at(37, r).begin(), disk.at(37, r).end(), 0xFF);
  }
  void link(int cluster, int value) {
    for (int r = 14; r <= 16; ++r) disk.at(37, r)[static_cast<std::size_t>(cluster)] = static_cast<std::uint8_t>(value);
  }
  void fill(int cluster, std::uint8_t byte) {
    for (int k = 0; k < 8; ++k) {
      Bytes& s = disk.at(cluster / 2, cluster % 2 * 8 + 1 + k);
      std::fill(s.begin(), s.end(), byte);
    }
  }
  void file(const std::string& name6, const std::string& ext3, int attributes, int first) {
    Bytes& sector = disk.at(37, 1 + dirAt / 16);
    unsigned char* e = sector.data() + dirAt % 16 * 16;
    std::memcpy(e, name6.data(), 6);
    std::memcpy(e + 6, ext3.data(), 3);
    e[9] = static_cast<unsigned char>(attributes);
    e[10] = static_cast<unsigned char>(first);
    ++dirAt;
  }
};

struct Expect {
  std::string path;
  std::int64_t size;
  std::string type;
  std::vector<std::string> flags;
};

void expectFiles(const json& disk, const std::vector<Expect>& files) {
  ASSERT_EQ(disk["files"].size(), files.size()) << disk;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const json& f = disk["files"][i];
    EXPECT_EQ(f["path"], files[i].path);
    EXPECT_EQ(f["size"], files[i].size) << files[i].path;
    EXPECT_EQ(f["type"], files[i].type) << files[i].path;
    EXPECT_EQ(f["flags"].get<std::vector<std::string>>(), files[i].flags) << files[i].path;
  }
}

std::set<std::string> codes(const json& disk) {
  std::set<std::string> out;
  for (const json& w : disk["warnings"]) out.insert(w["code"]);
  return out;
}

TEST(N88Basic, KindsFlagsFragmentsAndAKatakanaName) {
  N88 n;
  n.file("HELLO ", "BAS", 0x00, 0);
  n.link(0, 0xC3);  // 3 sectors of the last cluster
  n.file("DATA  ", "TXT", 0x80, 2);
  n.link(2, 3);
  n.link(3, 0xC8);  // the last cluster full
  n.file("PROG  ", "BIN", 0x01 | 0x10 | 0x20, 5);
  n.link(5, 9);
  n.link(9, 0xC2);
  n.file("\xB6\xC0\xB6\xC5  ", "   ", 0x40, 12);
  n.link(12, 0xC1);
  n.fill(5, 'p');
  n.fill(9, 'q');
  ScratchDir dir;
  const json disk = ls(dir, n.disk.build());
  EXPECT_EQ(disk["filesystem"], "n88-basic") << disk["why"];
  expectFiles(disk, {{"HELLO.BAS", 768, "basic", {}},
                     {"DATA.TXT", 4096, "ascii", {}},
                     {"PROG.BIN", 2560, "machine", {"write-protect", "verify"}},
                     {"\xEF\xBD\xB6\xEF\xBE\x80\xEF\xBD\xB6\xEF\xBE\x85", 256, "basic", {"encrypted"}}});
  EXPECT_TRUE(disk["warnings"].empty());
  const RunResult got = runProgram(D88GET_PATH, {"-C", "out", "image.d88", "PROG.BIN"}, dir.path());
  EXPECT_EQ(got.status, 0) << got.err;
  const Bytes prog = readFile(dir.file("out/PROG.BIN"));
  EXPECT_TRUE(sameBytes(concat({Bytes(2048, 'p'), Bytes(512, 'q')}), prog));
}

// Damaged tables: every chain read at most once per cluster, each fault a
// warning, and what can be read, read.
TEST(N88Basic, DamagedTables) {
  N88 n;
  n.file("LOOP  ", "   ", 0, 10);
  n.link(10, 11);
  n.link(11, 10);
  n.file("OUT   ", "   ", 0, 20);
  n.link(20, 170);
  n.file("FREE  ", "   ", 0, 30);
  n.link(30, 31);  // 31 is free
  n.file("SHARE1", "   ", 0, 40);
  n.link(40, 0xC1);
  n.file("SHARE2", "   ", 0, 40);
  n.file("RESV  ", "   ", 0, 50);
  n.link(50, 74);                // the system track
  n.disk.at(37, 15)[60] = 0xC1;  // one copy differs
  ScratchDir dir;
  const json disk = ls(dir, n.disk.build());
  EXPECT_EQ(disk["filesystem"], "n88-basic");
  EXPECT_EQ(codes(disk),
            (std::set<std::string>{"chain-loop", "chain-out-of-range", "chain-free-cluster", "cross-linked-cluster",
                                   "chain-reserved-cluster", "table-copies-differ"}));
  std::map<std::string, std::int64_t> sizes;
  for (const json& f : disk["files"]) sizes[f["path"]] = f["size"];
  EXPECT_EQ(sizes["LOOP"], 4096);  // clusters 10 and 11, once each
  EXPECT_EQ(sizes["SHARE2"], 256);
}

// Every entry of the directory on one long chain: the listing stays bounded
// by the disk, not by entries times chain.
TEST(N88Basic, SharedChainsStayBounded) {
  N88 n;
  for (int c = 0; c < 150; ++c) {
    if (c / 2 != 37) n.link(c, c + 1 == 150 || (c + 1) / 2 == 37 ? 0xC8 : c + 1);
  }
  for (int k = 0; k < 192; ++k) n.file("SAME  ", "   ", 0, 0);
  ScratchDir dir;
  const json disk = ls(dir, n.disk.build());
  EXPECT_EQ(disk["files"].size(), 192u);
  std::int64_t sectors = 0;
  for (const json& f : disk["files"]) sectors += static_cast<std::int64_t>(f["sectors"].size());
  EXPECT_LE(sectors, (4 * 160 + 64) * 8);
  EXPECT_TRUE(codes(disk).count("cross-linked-cluster"));
}

TEST(N88Basic, OtherMedia) {
  struct Case {
    const char* what;
    int slots, spt, media, system, dirSectors, fatFirst, perCluster;
    bool singleSided;
  } cases[] = {{"2DD", 160, 16, 0x10, 80, 12, 14, 16, false},
               {"2HD", 154, 26, 0x20, 70, 22, 24, 26, false},
               {"1D", 40, 16, 0x30, 18, 12, 14, 8, true}};
  for (const Case& c : cases) {
    SectorDisk d(c.slots, c.spt, 1, c.media, c.singleSided);
    const int perSlot = c.spt / c.perCluster;
    for (int k = 0; k < 3; ++k) {
      Bytes& fat = d.at(c.system, c.fatFirst + k);
      std::fill(fat.begin(), fat.end(), 0xFF);
      for (int cl = c.system * perSlot; cl < (c.system + 1) * perSlot; ++cl) fat[static_cast<std::size_t>(cl)] = 0xFE;
      fat[1] = 0xC2;
    }
    for (int r = 1; r <= c.dirSectors; ++r) std::fill(d.at(c.system, r).begin(), d.at(c.system, r).end(), 0xFF);
    Bytes& dirSector = d.at(c.system, 1);
    std::memcpy(dirSector.data(), "FILE  BAS", 9);
    dirSector[9] = 0x80;
    dirSector[10] = 1;
    ScratchDir dir;
    const json disk = ls(dir, d.build());
    EXPECT_EQ(disk["filesystem"], "n88-basic") << c.what << ": " << disk["why"];
    expectFiles(disk, {{"FILE.BAS", 512, "ascii", {}}});
  }
}

// A Hu-BASIC 2D disk: the table at slot 0 R 15, the directory at slot 1,
// clusters of a track.
struct Hu {
  SectorDisk disk{80, 16, 1, 0, false};
  std::map<int, int> at;  // directory cluster -> entries written
  Hu() {
    Bytes& fat = disk.at(0, 15);
    std::fill(fat.begin(), fat.end(), 0);
    fat[0] = 0x01;
    fat[1] = 0x8F;
    for (int r = 1; r <= 16; ++r) std::fill(disk.at(1, r).begin(), disk.at(1, r).end(), 0xFF);
  }
  void link(int cluster, int value) {
    disk.at(0, 15)[static_cast<std::size_t>(cluster)] = static_cast<std::uint8_t>(value);
  }
  void file(int dirCluster, int attributes, const std::string& name13, const std::string& ext3, int size, int first) {
    int& n = at[dirCluster];
    unsigned char* e = disk.at(dirCluster, 1 + n / 8).data() + n % 8 * 32;
    std::memset(e, 0, 32);
    e[0] = static_cast<unsigned char>(attributes);
    std::memcpy(e + 1, name13.data(), 13);
    std::memcpy(e + 14, ext3.data(), 3);
    e[17] = 0x20;
    e[18] = static_cast<unsigned char>(size & 0xFF);
    e[19] = static_cast<unsigned char>(size >> 8);
    const unsigned char date[6] = {0x86, 0x40, 0x01, 0x12, 0x34, 0x56};
    std::memcpy(e + 24, date, 6);
    e[30] = static_cast<unsigned char>(first);
    ++n;
  }
};

TEST(HuBasic, SizesSubdirectoriesAndDamage) {
  Hu h;
  h.file(1, 0x04, "README       ", "TXT", 300, 2);
  h.link(2, 0x81);  // two sectors used
  h.file(1, 0x01, "\xB6\xC0\xB6\xC5         ", "BIN", 0, 3);
  h.link(3, 0x80);
  h.file(1, 0x80, "SUB          ", "   ", 0, 4);
  h.link(4, 0x8F);
  for (int r = 1; r <= 16; ++r) std::fill(h.disk.at(4, r).begin(), h.disk.at(4, r).end(), 0xFF);
  h.file(4, 0x02, "INNER        ", "BAS", 10, 5);
  h.link(5, 0x80);
  h.file(4, 0x80, "AGAIN        ", "   ", 0, 4);  // the folder inside itself
  h.file(1, 0x04, "LONG         ", "TXT", 9999, 6);
  h.link(6, 0x80);
  std::fill(h.disk.at(2, 1).begin(), h.disk.at(2, 1).end(), 'a');
  ScratchDir dir;
  const json disk = ls(dir, h.disk.build());
  EXPECT_EQ(disk["filesystem"], "hu-basic") << disk["why"];
  expectFiles(disk, {{"README.TXT", 300, "ascii", {}},
                     {"\xEF\xBD\xB6\xEF\xBE\x80\xEF\xBD\xB6\xEF\xBE\x85.BIN", 256, "machine", {}},
                     {"SUB", 0, "directory", {}},
                     {"LONG.TXT", 256, "ascii", {}},
                     {"SUB/INNER.BAS", 10, "basic", {}},
                     {"SUB/AGAIN", 0, "directory", {}}});
  EXPECT_EQ(disk["files"][0]["date"], "1986-04-01T12:34:56");
  EXPECT_EQ(codes(disk), (std::set<std::string>{"directory-loop", "size-past-chain", "cross-linked-cluster"}));
  const RunResult got = runProgram(D88GET_PATH, {"-C", "out", "image.d88"}, dir.path());
  EXPECT_EQ(got.status, 0) << got.err;
  EXPECT_TRUE(sameBytes(concat({Bytes(256, 'a'), Bytes(44, 0xE5)}), readFile(dir.file("out/README.TXT"))));
  EXPECT_TRUE(fs::is_directory(fs::path(dir.path()) / "out" / "SUB" / "AGAIN"));
  // A katakana name is written as its characters, on every system.
  EXPECT_TRUE(fs::is_regular_file(fs::path(dir.path()) / "out" /
                                  fs::u8path("\xEF\xBD\xB6\xEF\xBE\x80\xEF\xBD\xB6\xEF\xBE\x85.BIN")));
}

// An F-BASIC 2D disk: the table at slot 2 R 1 from byte 5, the directory
// from slot 2 R 4, clusters of 8 sectors from slot 4.
TEST(FBasic, KindsAndFlags) {
  SectorDisk d(80, 16);
  Bytes& table = d.at(2, 1);
  std::fill(table.begin(), table.end(), 0xFF);
  table[5 + 0] = 1;
  table[5 + 1] = 0xC3;  // 4 sectors used
  table[5 + 7] = 0xC7;
  for (int r = 4; r <= 16; ++r) std::fill(d.at(2, r).begin(), d.at(2, r).end(), 0xFF);
  for (int r = 1; r <= 16; ++r) std::fill(d.at(3, r).begin(), d.at(3, r).end(), 0xFF);
  auto entry = [&](int n, const char* name8, int type, int ascii, int random, int first) {
    unsigned char* e = d.at(2, 4 + n / 8).data() + n % 8 * 32;
    std::memset(e, 0, 32);
    std::memcpy(e, name8, 8);
    e[11] = static_cast<unsigned char>(type);
    e[12] = static_cast<unsigned char>(ascii);
    e[13] = static_cast<unsigned char>(random);
    e[14] = static_cast<unsigned char>(first);
  };
  entry(0, "PROGRAM ", 0, 0, 0, 0);
  entry(1, "RECORDS ", 1, 0xFF, 0xFF, 7);
  ScratchDir dir;
  const json disk = ls(dir, d.build());
  EXPECT_EQ(disk["filesystem"], "f-basic") << disk["why"];
  expectFiles(disk, {{"PROGRAM", 12 * 256, "basic", {}}, {"RECORDS", 8 * 256, "ascii", {"random-access"}}});
}

TEST(FileSystems, RealSamples) {
  struct Case {
    const char* file;
    const char* system;
    std::string path;
    std::int64_t size;
    std::size_t count;
  } cases[] = {{"townsemu_FPUTEST.D77", "fat12", "FPU2/MAIN.C", 3872, 10},
               {"derived_hudisk_testimg.d88", "hu-basic", "ascii.bin", 4144, 1}};
  for (const Case& c : cases) {
    const std::string path = std::string(D88_SAMPLES) + "/" + c.file;
    if (!fs::exists(path)) GTEST_SKIP() << "no real samples beside the project";
    ScratchDir dir;
    const json disk = ls(dir, readFile(path));
    EXPECT_EQ(disk["filesystem"], c.system) << c.file;
    EXPECT_EQ(disk["files"].size(), c.count) << c.file;
    bool found = false;
    for (const json& f : disk["files"]) found = found || (f["path"] == c.path && f["size"] == c.size);
    EXPECT_TRUE(found) << c.file << ": " << disk;
  }
}

// A name from the disk never leaves the folder, never names a device, and
// the substitution can be undone.
TEST(FileSystems, SafeNames) {
  struct Case {
    std::string name;
    bool utf8;
    std::string safe;
  } cases[] = {
      {"HELLO.BAS", false, "HELLO.BAS"},
      {"..", false, "%2E%2E"},
      {".", false, "%2E"},
      {"../ETC", false, "..%2FETC"},
      {"A\\B", false, "A%5CB"},
      {"C:X", false, "C%3AX"},
      {"CON", false, "%43ON"},
      {"nul.txt", false, "%6Eul.txt"},
      {"COM1.BAS", false, "%43OM1.BAS"},
      {"CONSOLE", false, "CONSOLE"},
      {"A\x01", false, "A%01"},
      {"100%", false, "100%25"},
      {"NAME.", false, "NAME%2E"},
      {"\xB6\xC5", false, "\xEF\xBD\xB6\xEF\xBE\x85"},
      {"\x89\xB9\x8A\x79", false, "\xE9\x9F\xB3\xE6\xA5\xBD"},
      {"A\x80", false, "A%80"},
      {"A long/name", true, "A long%2Fname"},
      {"", false, "%00"},
  };
  for (const Case& c : cases) EXPECT_EQ(d88fs::safeName(c.name, c.utf8), c.safe) << c.name;
}

TEST(D88get, KeepsFilesThatAreThereAndCutsText) {
  N88 n;
  n.file("../ETC", "   ", 0x80, 0);
  n.link(0, 0xC1);
  n.file("CON   ", "   ", 0x80, 2);
  n.link(2, 0xC1);
  Bytes& text = n.disk.at(0, 1);
  std::fill(text.begin(), text.end(), 'x');
  text[10] = 0x1A;
  ScratchDir dir;
  ASSERT_TRUE(writeFile(dir.file("image.d88"), n.disk.build()));
  fs::create_directory(fs::path(dir.path()) / "out");
  ASSERT_TRUE(writeFile(dir.file("out/%43ON"), Bytes{'o', 'l', 'd'}));
  const RunResult first = runProgram(D88GET_PATH, {"-C", "out", "--text", "image.d88"}, dir.path());
  EXPECT_EQ(first.status, 1);
  EXPECT_NE(first.err.find("already there"), std::string::npos) << first.err;
  EXPECT_TRUE(sameBytes(Bytes{'o', 'l', 'd'}, readFile(dir.file("out/%43ON"))));
  EXPECT_TRUE(sameBytes(Bytes(10, 'x'), readFile(dir.file("out/..%2FETC"))));
  const std::map<std::string, Bytes> inside = tree(fs::path(dir.path()) / "out");
  EXPECT_EQ(inside.size(), 2u);
  const RunResult forced = runProgram(D88GET_PATH, {"-C", "out", "--force", "image.d88", "CON"}, dir.path());
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(readFile(dir.file("out/%43ON")).size(), 256u);
  const RunResult missing = runProgram(D88GET_PATH, {"-C", "out", "image.d88", "NOPE"}, dir.path());
  EXPECT_EQ(missing.status, 1);
}

TEST(FileSystems, NoneFoundSaysWhy) {
  ScratchDir dir;
  const json disk = ls(dir, buildImage({systemDisk()}));
  EXPECT_EQ(disk["filesystem"], nullptr);
  EXPECT_NE(disk["why"].get<std::string>().find("no FAT"), std::string::npos);
  SectorDisk zeroDisk(80, 16);
  for (int slot = 0; slot < 80; ++slot) {
    for (int r = 1; r <= 16; ++r) zeroDisk.sectors[{slot, r}] = Bytes(256, 0);
  }
  const json zeros = ls(dir, zeroDisk.build());
  EXPECT_EQ(zeros["filesystem"], nullptr) << zeros["why"];
}

}  // namespace
}  // namespace d88test
