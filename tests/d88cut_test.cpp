// d88cut end to end: the built binary on built images, exact bytes of its
// output, its files and its exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#ifndef _WIN32
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

#include "test_util.h"
#include "tool/launch.h"

namespace d88test {
namespace {

using d88test::operator<<;  // names the cases in test listings

namespace fs = std::filesystem;

const std::string SYSTEM_LINE = "Disk 1\x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";
const std::string MAKER_LINE = "Disk 2\x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n";
const std::string OPEN_FAILURE =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
    "\xf1.\n";
const std::vector<std::string> FILES = {"DRIVER", "MUSIC1", "MUSIC2", "MUSIC3", "MUSIC4", "MUSIC5", "MUSIC6"};

std::string cutting(const std::string& name) { return "cutting ... " + name + "\n"; }

std::string allCutting() {
  std::string out;
  for (const std::string& name : FILES) out += cutting(name);
  return out;
}

// Which sector bytes each file is made of, in order: track, R, [from, to).
struct Piece {
  int track, r;
  std::size_t from, to;
};
const std::map<std::string, std::vector<Piece>> COMPOSITION = {
    {"DRIVER",
     {{3, 1, 0, 1024},
      {3, 2, 0, 1024},
      {3, 3, 0, 1024},
      {3, 4, 0, 1024},
      {3, 5, 0, 1024},
      {4, 1, 0, 1024},
      {4, 2, 0, 1024}}},
    {"MUSIC1",
     {{35, 2, 0, 1024}, {35, 3, 0, 1024}, {35, 4, 0, 1024}, {35, 5, 0, 1024}, {36, 1, 0, 512}, {11, 2, 0, 512}}},
    {"MUSIC2",
     {{36, 1, 512, 1024}, {36, 2, 0, 1024}, {36, 3, 0, 1024}, {36, 4, 0, 1024}, {36, 5, 0, 1024}, {37, 1, 0, 1024}}},
    {"MUSIC3", {{10, 1, 0, 128}}},
    {"MUSIC4", {{78, 5, 512, 768}}},
    {"MUSIC5", {{41, 4, 768, 1024}, {71, 4, 0, 256}, {79, 5, 768, 1024}}},
    {"MUSIC6", {{68, 4, 0, 1024}, {68, 5, 0, 768}, {58, 3, 0, 512}, {8, 4, 256, 768}}},
};
const std::map<std::string, std::size_t> SIZES = {{"DRIVER", 7168}, {"MUSIC1", 5120}, {"MUSIC2", 5632}, {"MUSIC3", 128},
                                                  {"MUSIC4", 256},  {"MUSIC5", 768},  {"MUSIC6", 2816}};

Bytes expectedFile(const Disk& disk, const std::string& name) {
  Bytes out;
  for (const Piece& p : COMPOSITION.at(name)) {
    const Bytes piece = slice(sectorData(disk, p.track, p.r), p.from, p.to);
    out.insert(out.end(), piece.begin(), piece.end());
  }
  return out;
}

// Runs d88cut on `image` in `dir`; its console output with LF line ends.
RunResult cut(const ScratchDir& dir, const Bytes& image, const RunOptions& options = {}) {
  EXPECT_TRUE(writeFile(dir.file("image.d88"), image));
  RunResult result = runProgram(D88CUT_PATH, {"image.d88"}, dir.path(), options);
  // The progress lines are text: CR LF where the platform writes it.
  EXPECT_EQ(console(withoutCr(result.out)), result.out);
  result.out = withoutCr(result.out);
  result.err = withoutCr(result.err);
  return result;
}

std::set<std::string> entries(const ScratchDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.insert(entry.path().filename().string());
  return names;
}

std::set<std::string> withImage(std::set<std::string> names) {
  names.insert("image.d88");
  return names;
}

const std::set<std::string> ALL_FILES(FILES.begin(), FILES.end());

void expectAllFiles(const ScratchDir& dir, const Disk& disk) {
  for (const std::string& name : FILES) {
    EXPECT_TRUE(sameBytes(expectedFile(disk, name), readFile(dir.file(name)))) << name;
  }
}

[[maybe_unused]] Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The recipe's sectors stored in reverse R order, with foreign records
// before them: same R but N 2, and R 9.
Disk scrambledSystemDisk() {
  Disk disk = systemDisk();
  for (auto& [index, track] : disk.tracks) {
    if (index == 0) continue;
    std::reverse(track.records.begin(), track.records.end());
    Record sameR;
    sameR.c = static_cast<std::uint8_t>(index / 2);
    sameR.h = static_cast<std::uint8_t>(index % 2);
    sameR.r = 1;
    sameR.n = 2;
    sameR.data = Bytes(512, 0xF2);
    Record otherR = sameR;
    otherR.r = 9;
    otherR.n = 3;
    otherR.data = Bytes(1024, 0xF9);
    track.records.insert(track.records.begin(), sameR);
    track.records.insert(track.records.begin() + 3, otherR);
  }
  return disk;
}

TEST(D88cutDriver, UsageAndOpenFailures) {
  ScratchDir dir;
  fs::create_directory(dir.file("folder"));
  const std::string usage = "Usage: d88cut-name [d88file]\n";
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string out;  // the start of standard output
    std::string err;  // the start of standard error
  } cases[] = {
      {"no argument", {}, 1, "", usage},
      {"two arguments", {"a.d88", "b.d88"}, 1, "", usage},
      // The old line, then one that names the file and the reason.
      {"missing file", {"missing.d88"}, 1, "", OPEN_FAILURE + "d88cut: cannot open missing.d88: "},
      {"directory", {"folder"}, 1, "", OPEN_FAILURE + "d88cut: cannot open folder: "},
      {"help", {"--help"}, 0, "Usage: d88cut IMAGE.d88\nCuts the music driver DRIVER", ""},
      {"version", {"--version"}, 0, "d88cut 0.1.0\n", ""},
      {"a file named --help", {"./--help"}, 1, "", OPEN_FAILURE + "d88cut: cannot open ./--help: "},
  };
  for (const Case& c : cases) {
    RunOptions options;
    options.argv0 = "d88cut-name";
    const RunResult result = runProgram(D88CUT_PATH, c.args, dir.path(), options);
    EXPECT_EQ(result.status, c.status) << c.what;
    EXPECT_EQ(withoutCr(result.out).rfind(c.out, 0), 0u) << c.what << ": " << result.out;
    EXPECT_EQ(result.out.empty(), c.out.empty()) << c.what;
    EXPECT_EQ(withoutCr(result.err).rfind(c.err, 0), 0u) << c.what << ": " << result.err;
    EXPECT_EQ(result.err.empty(), c.err.empty()) << c.what;
    // Every message is whole lines.
    EXPECT_TRUE(result.err.empty() || result.err.back() == '\n') << c.what;
  }
  EXPECT_EQ(entries(dir), std::set<std::string>{"folder"});
}

#ifndef _WIN32
// Runs `program` with `args` in `dir`, its standard output and error on a
// pseudo-terminal that the test opens, under LC_ALL=`locale`, started
// directly; what the terminal received, without the CRs it adds.
RunResult runOnTerminal(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                        const char* locale) {
  RunResult result;
  int master = -1, slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return result;
  std::vector<std::string> copy = {program};
  copy.insert(copy.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    dup2(slave, 1);
    dup2(slave, 2);
    close(master);
    close(slave);
    setenv("LC_ALL", locale, 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(slave);
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(master, chunk, sizeof chunk);
    if (got > 0) {
      result.out.append(chunk, static_cast<std::size_t>(got));
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EIO once the program has closed the terminal
    }
  }
  close(master);
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  result.out = withoutCr(result.out);
  return result;
}

// On a terminal whose locale is UTF-8 the Japanese lines are UTF-8; under
// another locale, and through a pipe under any, they are the Shift-JIS
// bytes, exactly as always.
TEST(D88cutTerminal, SpeaksTheTerminalsEncoding) {
  ScratchDir dir;
  ASSERT_TRUE(writeFile(dir.file("image.d88"), buildImage({systemDisk()})));
  const std::string utf8Line =
      "Disk 1\xE3\x82\x92\xE8\xAA\x8D\xE8\xAD\x98\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F.\n";
  const std::string utf8Failure =
      "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x82\x92\xE3\x82\xAA\xE3\x83\xBC\xE3\x83"
      "\x97\xE3\x83\xB3\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93.\n";
  const RunResult utf8 = runOnTerminal(D88CUT_PATH, {"image.d88"}, dir.path(), "C.UTF-8");
  EXPECT_EQ(utf8.status, 0);
  EXPECT_EQ(utf8.out, utf8Line + allCutting());
  const RunResult missing = runOnTerminal(D88CUT_PATH, {"missing.d88"}, dir.path(), "C.UTF-8");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out.rfind(utf8Failure + "d88cut: cannot open missing.d88: ", 0), 0u) << missing.out;

  const RunResult plain = runOnTerminal(D88CUT_PATH, {"image.d88"}, dir.path(), "C");
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, SYSTEM_LINE + allCutting());

  for (const char* locale : {"C.UTF-8", "C"}) {
    setenv("LC_ALL", locale, 1);
    const RunResult piped = runProgram(D88CUT_PATH, {"image.d88"}, dir.path());
    EXPECT_EQ(piped.out, SYSTEM_LINE + allCutting()) << locale;
  }
  unsetenv("LC_ALL");
}
#endif

// Dropped on d88cut.exe in Explorer, the console is d88cut's alone: the
// files go next to the image and the window waits for Enter. From a prompt
// (the console shared) or with no console, nothing changes.
TEST(D88cutLaunch, FromExplorerOrAPrompt) {
  struct Case {
    int processes;
    bool nextToImage, wait;
  } cases[] = {{1, true, true}, {2, false, false}, {3, false, false}, {0, false, false}};
  for (const Case& c : cases) {
    const Launch launch = launchOf(c.processes);
    EXPECT_EQ(launch.nextToImage, c.nextToImage) << c.processes;
    EXPECT_EQ(launch.waitForEnter, c.wait) << c.processes;
  }
  const std::string folder = (fs::path("dumps") / "set").string();
  const std::string image = (fs::path(folder) / "disk.d88").string();
  EXPECT_EQ(outputFolder(launchOf(1), image), folder);
  EXPECT_EQ(outputFolder(launchOf(2), image), "");
  EXPECT_EQ(outputFolder(launchOf(1), "disk.d88"), "");
}

struct IdentifyCase {
  const char* what;
  std::function<Bytes()> image;
  std::string out;
  bool files;  // the seven files are written
};

class D88cutIdentify : public ::testing::TestWithParam<IdentifyCase> {};

TEST_P(D88cutIdentify, RecognisesDisks) {
  const IdentifyCase& c = GetParam();
  ScratchDir dir;
  const RunResult result = cut(dir, c.image());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, c.out);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(entries(dir), withImage(c.files ? ALL_FILES : std::set<std::string>{}));
}

Disk labelAt(int at, int size) {
  Disk disk;
  disk.add(0, 0, 0, 1, 1, labelSector(SYSTEM_LABEL, at, size));
  return disk;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, D88cutIdentify,
    ::testing::Values(IdentifyCase{"fewer than 688 bytes", [] { return Bytes(100, 0); }, "", false},
                      IdentifyCase{"unknown disk", [] { return buildImage({labelledDisk("SOMETHING ELSE..")}); }, "",
                                   false},
                      IdentifyCase{"maker disk only", [] { return buildImage({makerDisk()}); }, MAKER_LINE, false},
                      IdentifyCase{"system disk second",
                                   [] {
                                     return buildImage({labelledDisk("0123456789abcdef"), systemDisk()});
                                   },
                                   SYSTEM_LINE + allCutting(), true},
                      IdentifyCase{"label at bytes 0 to 15", [] { return buildImage({labelAt(0, 256)}); }, "", false},
                      // Only the first 256 bytes are read; the label is among them.
                      IdentifyCase{"label sector of 1024 bytes",
                                   [] {
                                     Disk disk = systemDisk();
                                     disk.tracks[0].records[0].data = labelSector(SYSTEM_LABEL, 1, 1024);
                                     return buildImage({disk});
                                   },
                                   SYSTEM_LINE + allCutting(), true},
                      IdentifyCase{"label sector with N 3",
                                   [] {
                                     Disk disk = labelAt(1, 256);
                                     disk.tracks[0].records[0].n = 3;
                                     return buildImage({disk});
                                   },
                                   "", false},
                      // A label sector too short to hold a label names no disk, even
                      // where the disk before left a label in the buffer.
                      IdentifyCase{"short label sector after the maker disk",
                                   [] {
                                     return buildImage({makerDisk(), labelAt(1, 8)});
                                   },
                                   MAKER_LINE, false},
                      IdentifyCase{"unknown, maker and system disks",
                                   [] {
                                     return buildImage({labelledDisk("................"), makerDisk(), systemDisk()});
                                   },
                                   MAKER_LINE + SYSTEM_LINE + allCutting(), true}),
    CaseName());

TEST(D88cutExtract, CompleteDiskInAnyOrderGivesTheSevenFiles) {
  ScratchDir dir;
  const Disk disk = scrambledSystemDisk();
  const RunResult result = cut(dir, buildImage({disk}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, SYSTEM_LINE + allCutting());
  EXPECT_EQ(result.err, "");
  for (const std::string& name : FILES) EXPECT_EQ(fs::file_size(dir.file(name)), SIZES.at(name)) << name;
  expectAllFiles(dir, disk);
  EXPECT_EQ(entries(dir), withImage(ALL_FILES));  // no temporary file left
}

TEST(D88cutExtract, ExistingFilesAreOverwritten) {
  ScratchDir dir;
  for (const std::string& name : FILES) writeFile(dir.file(name), Bytes(10000, 'x'));
  const Disk disk = systemDisk();
  const RunResult result = cut(dir, buildImage({disk}));
  EXPECT_EQ(result.status, 0);
  expectAllFiles(dir, disk);
}

// A file that already holds the right bytes is not replaced; one that
// differs by a byte, or by its length, is.
TEST(D88cutExtract, FilesThatAreAlreadyRightAreLeftAlone) {
  ScratchDir first;
  const Disk disk = systemDisk();
  cut(first, buildImage({disk}));
  ScratchDir dir;
  std::map<std::string, fs::file_time_type> before;
  for (const std::string& name : FILES) {
    Bytes bytes = readFile(first.file(name));
    if (name == "MUSIC2") bytes[100] ^= 1;
    if (name == "MUSIC3") bytes.push_back(0);
    writeFile(dir.file(name), bytes);
    fs::last_write_time(dir.file(name), fs::file_time_type::clock::now() - std::chrono::hours(48));
    before[name] = fs::last_write_time(dir.file(name));  // as the file system keeps it
  }
  const RunResult result = cut(dir, buildImage({disk}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, SYSTEM_LINE + allCutting());
  expectAllFiles(dir, disk);
  for (const std::string& name : FILES) {
    const bool rewritten = name == "MUSIC2" || name == "MUSIC3";
    EXPECT_EQ(fs::last_write_time(dir.file(name)) != before[name], rewritten) << name;
  }
}

TEST(D88cutExtract, SecondSystemDiskRewritesTheFiles) {
  ScratchDir dir;
  const Disk first = systemDisk();
  Disk second = systemDisk();
  for (auto& [index, track] : second.tracks) {
    if (index == 0) continue;
    for (Record& record : track.records) std::fill(record.data.begin(), record.data.end(), 0xB2);
  }
  const RunResult result = cut(dir, buildImage({first, second}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, SYSTEM_LINE + allCutting() + SYSTEM_LINE + allCutting());
  expectAllFiles(dir, second);
}

// Damaged system disks: what d88cut prints on each stream, and what each
// file holds afterwards. A file that is not cut whole is named on standard
// error, right after its own step, with the first sector at fault; the exit
// status stays 0.
struct DamageCase {
  const char* what;
  std::function<void(Disk&)> change;        // damages the system disk
  std::function<Bytes(const Disk&)> image;  // null: the disk built as it is
  std::map<std::string, Bytes> before;      // files in the folder before the run
  std::string out;
  std::string err;
  // The files afterwards, given the damaged disk and the bytes of the
  // other files; a name missing here must not exist. Null: all seven, as
  // the composition says.
  std::function<std::map<std::string, Bytes>(const Disk&, const std::map<std::string, Bytes>&)> files;
};

class D88cutDamaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(D88cutDamaged, SaysWhatItCouldNotCutAndWritesWhatItRead) {
  const DamageCase& c = GetParam();
  ScratchDir dir;
  for (const auto& [name, bytes] : c.before) writeFile(dir.file(name), bytes);
  Disk disk = systemDisk();
  c.change(disk);
  const RunResult result = cut(dir, c.image ? c.image(disk) : buildImage({disk}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, c.out);
  EXPECT_EQ(result.err, c.err);
  std::map<std::string, Bytes> found;
  for (const std::string& name : FILES) {
    if (fs::exists(dir.file(name))) found[name] = readFile(dir.file(name));
  }
  std::map<std::string, Bytes> expected;
  if (c.files) {
    expected = c.files(disk, found);
  } else {
    for (const std::string& name : FILES) expected[name] = expectedFile(disk, name);
  }
  std::set<std::string> foundNames, expectedNames;
  for (const auto& f : found) foundNames.insert(f.first);
  for (const auto& f : expected) expectedNames.insert(f.first);
  EXPECT_EQ(foundNames, expectedNames);
  for (const auto& [name, bytes] : expected) {
    if (found.count(name) != 0) {
      EXPECT_TRUE(sameBytes(bytes, found[name])) << name;
    }
  }
}

// The system disk cut 100 bytes into the data of track 36 R 3.
Bytes cutInsideTrack36(const Disk& disk) {
  Bytes image = buildImage({disk});
  const std::size_t track36 = image[0x20 + 4 * 36] | image[0x21 + 4 * 36] << 8 | image[0x22 + 4 * 36] << 16;
  image.resize(track36 + 2 * (16 + 1024) + 16 + 100);
  return image;
}

Bytes withoutTrack(int track) {
  Disk disk = systemDisk();
  disk.tracks.erase(track);
  return buildImage({disk});
}

void setData(Disk& disk, int track, int r, Bytes data) {
  for (Record& record : disk.tracks[track].records) {
    if (record.r == r) record.data = std::move(data);
  }
}

// Every file as the composition says, but `name` as `bytes`, and without
// the names in `absent`.
std::map<std::string, Bytes> allBut(const Disk& disk, const std::map<std::string, Bytes>& changed,
                                    const std::set<std::string>& absent = {}) {
  std::map<std::string, Bytes> out;
  for (const std::string& name : FILES) {
    if (absent.count(name) == 0) out[name] = changed.count(name) != 0 ? changed.at(name) : expectedFile(disk, name);
  }
  return out;
}

const std::string WARNING = "d88cut: warning: ";
const std::string ALL_BUT_DRIVER = cutting("MUSIC1") + cutting("MUSIC2") + cutting("MUSIC3") + cutting("MUSIC4") +
                                   cutting("MUSIC5") + cutting("MUSIC6");

INSTANTIATE_TEST_SUITE_P(
    Cases, D88cutDamaged,
    ::testing::Values(
        DamageCase{"complete disk", [](Disk&) {}, {}, {}, SYSTEM_LINE + allCutting(), "", nullptr},
        // No DRIVER is written, and one that was there stays as it was.
        DamageCase{"track 3 absent",
                   [](Disk& d) { d.tracks.erase(3); },
                   {},
                   {{"DRIVER", Bytes{'o', 'l', 'd'}}},
                   SYSTEM_LINE + ALL_BUT_DRIVER,
                   WARNING + "DRIVER not cut: track 3 (C 1 H 1 R 1) is missing\n",
                   [](const Disk& d, const std::map<std::string, Bytes>&) {
                     return allBut(d, {{"DRIVER", Bytes{'o', 'l', 'd'}}});
                   }},
        DamageCase{"track 3 absent, no DRIVER before",
                   [](Disk& d) { d.tracks.erase(3); },
                   {},
                   {},
                   SYSTEM_LINE + ALL_BUT_DRIVER,
                   WARNING + "DRIVER not cut: track 3 (C 1 H 1 R 1) is missing\n",
                   [](const Disk& d, const std::map<std::string, Bytes>&) { return allBut(d, {}, {"DRIVER"}); }},
        // MUSIC1's last 512 bytes are what DRIVER's run left in the buffer.
        DamageCase{"track 11 absent",
                   [](Disk& d) { d.tracks.erase(11); },
                   {},
                   {},
                   SYSTEM_LINE + allCutting(),
                   WARNING + "MUSIC1 incomplete: track 11 (C 5 H 1 R 2) is missing\n",
                   [](const Disk& d, const std::map<std::string, Bytes>&) {
                     return allBut(d, {{"MUSIC1", concat({slice(expectedFile(d, "MUSIC1"), 0, 4608),
                                                          slice(sectorData(d, 3, 5), 512, 1024)})}});
                   }},
        // The run stops at R 3; its 512 bytes were copied all the same, and
        // the rest of the region holds what MUSIC1 and DRIVER left there.
        DamageCase{"short sector mid-run",
                   [](Disk& d) { setData(d, 36, 3, Bytes(512, 0x33)); },
                   {},
                   {},
                   SYSTEM_LINE + allCutting(),
                   WARNING + "MUSIC2 incomplete: track 36 (C 18 H 0 R 3) is short\n",
                   [](const Disk& d, const std::map<std::string, Bytes>& found) {
                     return allBut(d, {{"MUSIC2", concat({slice(sectorData(d, 36, 1), 512, 1024), sectorData(d, 36, 2),
                                                          Bytes(512, 0x33), slice(found.at("MUSIC1"), 2560, 5120),
                                                          sectorData(d, 4, 1)})}});
                   }},
        // A sector that is there with no data bytes is short, not missing.
        DamageCase{"sector with 0 data bytes",
                   [](Disk& d) { setData(d, 10, 1, Bytes()); },
                   {},
                   {},
                   SYSTEM_LINE + cutting("DRIVER") + cutting("MUSIC1") + cutting("MUSIC2") + cutting("MUSIC4") +
                       cutting("MUSIC5") + cutting("MUSIC6"),
                   WARNING + "MUSIC3 not cut: track 10 (C 5 H 0 R 1) is short\n",
                   [](const Disk& d, const std::map<std::string, Bytes>&) { return allBut(d, {}, {"MUSIC3"}); }},
        // Everything from track 36 R 3 on is gone; MUSIC3 (track 10) and
        // MUSIC1 (tracks 35, 36 R 1 and 11) are still whole.
        DamageCase{"image cut short inside track 36",
                   [](Disk&) {},
                   cutInsideTrack36,
                   {},
                   SYSTEM_LINE + cutting("DRIVER") + cutting("MUSIC1") + cutting("MUSIC2") + cutting("MUSIC3") +
                       cutting("MUSIC5") + cutting("MUSIC6"),
                   WARNING + "MUSIC2 incomplete: track 36 (C 18 H 0 R 3) is short\n" + WARNING +
                       "MUSIC4 not cut: track 78 (C 39 H 0 R 5) is missing\n" + WARNING +
                       "MUSIC5 incomplete: track 41 (C 20 H 1 R 4) is missing\n" + WARNING +
                       "MUSIC6 incomplete: track 68 (C 34 H 0 R 4) is missing\n",
                   [](const Disk& d, const std::map<std::string, Bytes>& found) {
                     // The files it writes incomplete are checked by the
                     // rows above; here, which are there.
                     std::map<std::string, Bytes> out = allBut(d, {}, {"MUSIC4"});
                     for (const char* name : {"MUSIC2", "MUSIC5", "MUSIC6"}) out[name] = found.at(name);
                     return out;
                   }}),
    CaseName());

// Through one pipe, as `d88cut IMAGE 2>&1 | iconv ...` shows them, the lines
// come in the order in which they happened.
TEST(D88cutWarnings, KeepTheirPlaceAmongTheProgressLines) {
  ScratchDir dir;
  fs::create_directory(dir.file("MUSIC3"));
  ASSERT_TRUE(writeFile(dir.file("image.d88"), withoutTrack(11)));
  RunOptions options;
  options.mergeErrors = true;
  const RunResult result = runProgram(D88CUT_PATH, {"image.d88"}, dir.path(), options);
  EXPECT_EQ(result.status, 1);
  const std::string out = withoutCr(result.out);
  const std::size_t warning = out.find("MUSIC1 incomplete");
  const std::size_t failure = out.find("d88cut: cannot");
  ASSERT_NE(warning, std::string::npos) << out;
  ASSERT_NE(failure, std::string::npos) << out;
  EXPECT_LT(out.find(cutting("MUSIC1")), warning) << out;
  EXPECT_LT(warning, out.find(cutting("MUSIC2"))) << out;
  EXPECT_LT(out.find(cutting("MUSIC3")), failure) << out;
  EXPECT_LT(failure, out.find(cutting("MUSIC4"))) << out;
}

// Output failures: the old file stays whole, the failure is said, the rest
// of the files are written and the status is 1.

TEST(D88cutWriteFailure, DirectoryAtAnOutputName) {
  ScratchDir dir;
  fs::create_directory(dir.file("MUSIC3"));
  const Disk disk = systemDisk();
  const RunResult result = cut(dir, buildImage({disk}));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, SYSTEM_LINE + allCutting());
  EXPECT_NE(result.err.find("MUSIC3"), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_TRUE(fs::is_directory(dir.file("MUSIC3")));
  for (const std::string& name : FILES) {
    if (name == "MUSIC3") continue;
    EXPECT_TRUE(sameBytes(expectedFile(disk, name), readFile(dir.file(name)))) << name;
  }
  EXPECT_EQ(entries(dir), withImage(ALL_FILES));
}

#ifndef _WIN32
TEST(D88cutWriteFailure, WriteFailingPartWayKeepsTheOldFile) {
  ScratchDir dir;
  for (const std::string& name : FILES) writeFile(dir.file(name), text("old " + name));
  const Disk disk = systemDisk();
  RunOptions options;
  options.fileSizeLimit = 4096;  // DRIVER, MUSIC1 and MUSIC2 are larger
  const RunResult result = cut(dir, buildImage({disk}), options);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, SYSTEM_LINE + allCutting());
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 3) << result.err;
  for (const std::string name : {"DRIVER", "MUSIC1", "MUSIC2"}) {
    EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
    EXPECT_TRUE(sameBytes(text("old " + name), readFile(dir.file(name)))) << name;
  }
  for (const std::string name : {"MUSIC3", "MUSIC4", "MUSIC5", "MUSIC6"}) {
    EXPECT_TRUE(sameBytes(expectedFile(disk, name), readFile(dir.file(name)))) << name;
  }
  EXPECT_EQ(entries(dir), withImage(ALL_FILES));
}

TEST(D88cutWriteFailure, LinkAtAnOutputNameIsReplacedNotFollowed) {
  ScratchDir dir;
  ScratchDir elsewhere;
  writeFile(elsewhere.file("target"), text("precious"));
  fs::create_symlink(elsewhere.file("target"), dir.file("DRIVER"));
  fs::create_symlink(elsewhere.file("absent"), dir.file("MUSIC4"));  // dangling
  const Disk disk = systemDisk();
  const RunResult result = cut(dir, buildImage({disk}));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(sameBytes(text("precious"), readFile(elsewhere.file("target"))));
  EXPECT_FALSE(fs::exists(elsewhere.file("absent")));
  EXPECT_FALSE(fs::is_symlink(dir.file("DRIVER")));
  EXPECT_FALSE(fs::is_symlink(dir.file("MUSIC4")));
  expectAllFiles(dir, disk);
}
#endif

}  // namespace
}  // namespace d88test
