// The inspection in process: the values it finds (not their wording), that
// d88info, the page and d88cut name the same record, that every code is
// listed alike in the code table, the manual page, the schema and the
// page's words, and that d88cut and d88info agree on every truncation of a
// system disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "d88/d88_image.h"
#include "info/analysis.h"
#include "info/wording.h"
#include "test_util.h"
#include "tool/cutter.h"
#include "tool/memory_sink.h"

namespace d88test {
namespace {

using d88info::Code;
using d88info::Report;

Report inspectBytes(const Bytes& bytes) {
  d88::D88Image reader;
  EXPECT_TRUE(reader.openMemory(bytes.data(), static_cast<std::int64_t>(bytes.size())));
  return d88info::inspect(reader, "image.d88");
}

const d88info::Warning* find(const std::vector<d88info::Warning>& list, Code code) {
  for (const d88info::Warning& w : list) {
    if (w.code == code) return &w;
  }
  return nullptr;
}

Disk plain() { return plainDisk(); }

// A run of disks whose size reads as negative is one warning on the image
// that says where the walk over the disks really goes: back, 64 disks in all.
TEST(Inspection, NegativeDiskSizesAreOneWarningThatFollowsTheWalk) {
  Bytes bytes = buildImage({plain(), plain()});
  const std::size_t second = bytes.size() / 2;
  putLe32(bytes, second + 0x1C, 0xFFFFFFFFu);  // -1: the next header is read one byte back
  const Report report = inspectBytes(bytes);
  ASSERT_EQ(report.summaries.size(), 64u);
  const d88info::Warning* w = find(report.warnings, Code::DISK_SIZE_NEGATIVE);
  ASSERT_NE(w, nullptr);
  // The headers it walks back into read as negative too: one warning for
  // the whole run of them.
  ASSERT_FALSE(w->disks.empty());
  EXPECT_EQ(w->disks.front(), 2);
  EXPECT_EQ(w->count, static_cast<std::int64_t>(w->disks.size()));
  EXPECT_EQ(w->b, static_cast<std::int64_t>(second) - 1);
  EXPECT_EQ(report.disks[1].fit, d88info::Fit::NEGATIVE);
  EXPECT_EQ(report.disks[1].fitBytes, static_cast<std::int64_t>(second) - 1);
  EXPECT_EQ(report.disks[2].offset, static_cast<std::int64_t>(second) - 1);
  EXPECT_NE(
      d88info::warningText(*w).find("goes back and reads the next header at offset " + std::to_string(second - 1)),
      std::string::npos);

  // A size that would send the walk before the start of the file ends it.
  putLe32(bytes, second + 0x1C, 0x80000000u);
  const Report ends = inspectBytes(bytes);
  EXPECT_EQ(ends.summaries.size(), 2u);
  const d88info::Warning* end = find(ends.warnings, Code::DISK_SIZE_NEGATIVE);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end->b, -1);
  EXPECT_NE(d88info::warningText(*end).find("the walk over the disks ends here"), std::string::npos);
}

struct ValueCase {
  const char* what;
  std::function<Bytes()> image;
  Code code;
  bool present;
  std::int64_t a, b;  // checked when present
};

class InspectionValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(InspectionValues, KeepsTheValuesOfEachFault) {
  const ValueCase& c = GetParam();
  const Report report = inspectBytes(c.image());
  ASSERT_TRUE(report.d88);
  const d88info::Warning* w = find(report.disks.at(0).warnings, c.code);
  if (!c.present) {
    EXPECT_EQ(w, nullptr) << d88info::warningText(*w);
    return;
  }
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->a, c.a);
  EXPECT_EQ(w->b, c.b);
}

INSTANTIATE_TEST_SUITE_P(Cases, InspectionValues,
                         ::testing::Values(
                             // No controller formats N 8 to 23, though 128 << N is a size.
                             ValueCase{"size code 8",
                                       [] {
                                         Disk d = plain();
                                         d.tracks[2].records[1].n = 8;
                                         return buildImage({d});
                                       },
                                       Code::SIZE_CODE_INVALID, true, 0, 0},
                             ValueCase{"size code 8 is no data-size mismatch",
                                       [] {
                                         Disk d = plain();
                                         d.tracks[2].records[1].n = 8;
                                         return buildImage({d});
                                       },
                                       Code::DATA_SIZE_MISMATCH, false, 0, 0},
                             ValueCase{"data cut: holds A of B",
                                       [] {
                                         Bytes b = buildImage({plain()});
                                         b.resize(b.size() - 56);
                                         return b;
                                       },
                                       Code::DATA_CUT, true, 200, 256},
                             ValueCase{"count says X and holds Y",
                                       [] {
                                         Disk d = plain();
                                         for (Record& r : d.tracks[2].records) r.count = 9;
                                         return buildImage({d});
                                       },
                                       Code::SECTOR_COUNT_TOO_HIGH, true, 9, 4},
                             // One emulator lays 1D/1DD tracks on even slots with C = slot / 2.
                             ValueCase{"1D on even slots: C = slot / 2",
                                       [] {
                                         Disk d;
                                         d.mediaType = 0x30;
                                         for (int t = 0; t < 80; t += 2) {
                                           for (int r = 1; r <= 16; ++r) d.add(t, t / 2, 0, r, 1);
                                         }
                                         return buildImage({d});
                                       },
                                       Code::ID_TRACK_MISMATCH, false, 0, 0},
                             ValueCase{"1D on every slot: C = slot",
                                       [] {
                                         Disk d;
                                         d.mediaType = 0x30;
                                         for (int t = 0; t < 4; ++t) d.add(t, t / 2, 0, 1, 1);
                                         return buildImage({d});
                                       },
                                       Code::ID_TRACK_MISMATCH, true, 1, 0},
                             // A 2HD image cut short keeps its 2HD tracks' own word for it.
                             ValueCase{"2HD cut after its first tracks",
                                       [] {
                                         Disk d;
                                         d.mediaType = 0x20;
                                         for (int r = 1; r <= 26; ++r) d.add(0, 0, 0, r, 0);
                                         for (int t = 1; t < 154; ++t) {
                                           for (int r = 1; r <= 26; ++r) d.add(t, t / 2, t % 2, r, 1);
                                         }
                                         Bytes b = buildImage({d});
                                         b.resize(688 + 26 * (16 + 128) + 5 * (16 + 256) + 8);
                                         return b;
                                       },
                                       Code::MEDIA_TYPE_MISMATCH, false, 0, 0}),
                         CaseName());

TEST(Inspection, EvenSlotGeometrySaysOneSide) {
  Disk d;
  d.mediaType = 0x40;
  for (int t = 0; t < 160; t += 2) {
    for (int r = 1; r <= 16; ++r) d.add(t, t / 2, 0, r, 1);
  }
  const Report report = inspectBytes(buildImage({d}));
  const d88info::Geometry& g = report.disks.at(0).geometry;
  EXPECT_TRUE(g.evenSlots);
  EXPECT_EQ(g.cylinders, 80);
  EXPECT_EQ(g.sides, 1);
  ASSERT_EQ(g.groups.size(), 1u);
  EXPECT_EQ(g.groups[0].first, 0);
  EXPECT_EQ(g.groups[0].last, 158);
  EXPECT_EQ(d88info::geometryText(g),
            "80 cylinders x 1 side (tracks on even table slots); tracks 0-158: 16 x 256 bytes");
}

// Two of the codes no other test reaches (header-unreadable: below).
TEST(Inspection, RareCodes) {
  {
    // A table entry that, added to a disk offset near 2^31, leaves the
    // 32-bit range.
    Disk small = plain();
    Disk big = plain();
    big.diskSize = 0x7FFFFFFF;
    big.tableOverride[9] = 0x7FFFFF00;
    Bytes bytes = buildImage({small, big});
    const Report report = inspectBytes(bytes);
    ASSERT_EQ(report.disks.size(), 2u);
    EXPECT_NE(find(report.disks[1].warnings, Code::TRACK_ENTRY_PAST_32_BITS), nullptr);
  }
  {
    // A track whose table entry points at the very end of the file.
    Disk d = plain();
    Bytes bytes = buildImage({d});
    d.tableOverride[7] = static_cast<std::uint32_t>(bytes.size());
    d.diskSize = static_cast<std::int64_t>(bytes.size());
    const Report report = inspectBytes(buildImage({d}));
    EXPECT_NE(find(report.disks.at(0).warnings, Code::TRACK_AT_END_OF_FILE), nullptr);
  }
}

TEST(Inspection, HeaderThatCannotBeReadAgain) {
  // d88info's walk selects each disk again; a header the index saw but that
  // cannot be read whole any more is header-unreadable. A file that shrinks
  // under the reader makes it.
  ScratchDir dir;
  Bytes bytes = buildImage({plain(), plain()});
  ASSERT_TRUE(writeFile(dir.file("image.d88"), bytes));
  d88::D88Image reader;
  ASSERT_TRUE(reader.open(dir.file("image.d88").c_str()));
  ASSERT_EQ(reader.diskCount(), 2);
  bytes.resize(bytes.size() / 2 + 100);
  ASSERT_TRUE(writeFile(dir.file("image.d88"), bytes));
  const Report report = d88info::inspect(reader, "image.d88");
  ASSERT_EQ(report.disks.size(), 2u);
  EXPECT_FALSE(report.disks[1].headerRead);
  EXPECT_NE(find(report.disks[1].warnings, Code::HEADER_UNREADABLE), nullptr);
}

struct NotD88Case {
  const char* what;
  std::function<Bytes()> image;
  bool d88;
};

class NotD88Verdict : public ::testing::TestWithParam<NotD88Case> {};

TEST_P(NotD88Verdict, JudgesByWhatTheHeaderAndTableSay) {
  const NotD88Case& c = GetParam();
  EXPECT_EQ(inspectBytes(c.image()).d88, c.d88);
}

// Bytes as a compiled-program file has them: a small header, then values
// that include small numbers, some of which point inside the first 688
// bytes at a run of zeros.
Bytes bytecodeLike() {
  Bytes b(3000, 0);
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>((i * 37 + 11) % 251);
  putLe32(b, 0x1C, 0x12345678);
  b[0x1B] = 0xE3;
  putLe32(b, 0x20, 0x100);  // an entry inside the header, at a zero record
  std::fill(b.begin() + 0x100, b.begin() + 0x110, 0);
  putLe32(b, 0x24, 0x180);  // and one at a plausible-looking record
  b[0x180 + 3] = 1;
  putLe16(b, 0x180 + 4, 1);
  putLe16(b, 0x180 + 14, 256);
  return b;
}

INSTANTIATE_TEST_SUITE_P(Cases, NotD88Verdict,
                         ::testing::Values(NotD88Case{"entries inside the header prove nothing", bytecodeLike, false},
                                           NotD88Case{"a damaged header whose table leads to records",
                                                      [] {
                                                        Bytes b = buildImage({plain()});
                                                        b[0x1B] = 0x99;
                                                        putLe32(b, 0x1C, 0x7FFFFFF0);
                                                        return b;
                                                      },
                                                      true},
                                           NotD88Case{"a known media byte and the file's length, nothing else",
                                                      [] {
                                                        Bytes b(50000, 0xA5);
                                                        b[0x1B] = 0x20;
                                                        putLe32(b, 0x1C, 50000);
                                                        return b;
                                                      },
                                                      true},
                                           NotD88Case{"disks that chain exactly to the end",
                                                      [] {
                                                        Bytes b(4000, 0xA5);
                                                        b[0x1B] = 0x77;
                                                        putLe32(b, 0x1C, 1000);
                                                        b[1000 + 0x1B] = 0x77;
                                                        putLe32(b, 1000 + 0x1C, 3000);
                                                        return b;
                                                      },
                                                      true},
                                           NotD88Case{"zeros", [] { return Bytes(5000, 0); }, false},
                                           // As compiled Python files have them: a small size, and entries that
                                           // point at runs of zeros or at a record with an absurd count.
                                           NotD88Case{"entries at zeros and an absurd count",
                                                      [] {
                                                        Bytes b(6000, 0x41);
                                                        b[0x1B] = 0x00;
                                                        putLe32(b, 0x1C, 2560);
                                                        putLe32(b, 0x20 + 4 * 131, 0x2A6);  // inside the header
                                                        putLe32(b, 0x20 + 4 * 127, 0x3A6);
                                                        std::fill(b.begin() + 0x3A6, b.begin() + 0x3A6 + 16, 0);
                                                        putLe32(b, 0x20 + 4 * 120, 0x1000);
                                                        b[0x1000 + 3] = 1;
                                                        putLe16(b, 0x1000 + 4, 0x4617);
                                                        putLe16(b, 0x1000 + 14, 256);
                                                        return b;
                                                      },
                                                      false}),
                         CaseName());

// Which record d88info names for a file's sector is the one d88cut reads:
// the reader's lookup, on tracks where the listing and the lookup differ.
struct RecordCase {
  const char* what;
  std::function<void(Disk&)> change;
  int track, r;
  int record;   // what d88info and the reader say, 1-based; 0 for none
  int cut = 0;  // bytes cut off the end of the image
};

class SameRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(SameRecord, ForD88infoThePageAndD88cut) {
  const RecordCase& c = GetParam();
  Disk disk = compactSystemDisk();
  c.change(disk);
  Bytes bytes = buildImage({disk});
  bytes.resize(bytes.size() - static_cast<std::size_t>(c.cut));
  d88::D88Image reader;
  ASSERT_TRUE(reader.openMemory(bytes.data(), static_cast<std::int64_t>(bytes.size())));
  ASSERT_TRUE(reader.selectDisk(0));
  const d88::SectorLocation at = reader.locateSector(c.track, c.track / 2, c.track % 2, c.r, 3);
  EXPECT_EQ(at.found ? at.record + 1 : 0, c.record);

  const Report report = d88info::inspect(reader, "image.d88");
  const d88info::Disk& d = report.disks.at(0);
  bool named = false;
  for (std::size_t f = 0; f < d.files.size(); ++f) {
    for (std::size_t s = 0; s < d.files[f].sectors.size(); ++s) {
      const SectorPlace& place = d.files[f].sectors[s];
      if (place.track != c.track || place.r != c.r) continue;
      named = true;
      EXPECT_EQ(d.fileRecords[f][s], c.record) << d.files[f].name;
    }
  }
  EXPECT_EQ(named, c.record > 0);

  // d88cut reads the bytes of that very record.
  if (c.record > 0) {
    std::vector<unsigned char> workBuffer(WORK_BUFFER_SIZE);
    MemorySink sink;
    cutImage(reader, workBuffer.data(), sink);
    unsigned char expected[1024];
    ASSERT_EQ(reader.readBytes(at.position + 16, expected, 16), 16);
    reader.selectDisk(0);
    unsigned char read[1024];
    ASSERT_GE(reader.readSector(c.track, c.track / 2, c.track % 2, c.r, 3, read, 1024), 16);
    EXPECT_EQ(std::memcmp(read, expected, 16), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SameRecord,
                         ::testing::Values(RecordCase{"plain", [](Disk&) {}, 36, 2, 2},
                                           // Track 36's records are laid out again before its own: the first
                                           // with an ID wins.
                                           RecordCase{"a duplicate before it",
                                                      [](Disk& d) {
                                                        Record copy = d.tracks[36].records[3];
                                                        copy.r = 2;
                                                        d.tracks[36].records.insert(d.tracks[36].records.begin(), copy);
                                                        for (Record& r : d.tracks[36].records) r.count = 6;
                                                      },
                                                      36, 2, 1},
                                           // Track 37's records run on past track 38's start: d88info's list
                                           // stops there, the lookup does not.
                                           RecordCase{"past the next track's start",
                                                      [](Disk& d) {
                                                        d.tableOverride[38] = 0;
                                                        for (Record& r : d.tracks[37].records) r.count = 5;
                                                      },
                                                      37, 1, 1},
                                           // A count-0 record ends a lookup before the sector.
                                           RecordCase{"behind a count-0 record",
                                                      [](Disk& d) {
                                                        Record& first = d.tracks[41].records[0];
                                                        first.count = 0;
                                                      },
                                                      41, 4, 0},
                                           // Track 71 starts where track 68 does: it holds track 68's
                                           // records, and none with its own C and H.
                                           RecordCase{"a track that shares another's offset",
                                                      [](Disk& d) {
                                                        const Bytes built = buildImage({d});
                                                        d.tableOverride[71] =
                                                            d88::readLe32(built.data() + 0x20 + 4 * 68);
                                                      },
                                                      71, 4, 0},
                                           // The image ends inside track 79 R 5: the record is there,
                                           // cut short, and d88cut reads what it holds.
                                           RecordCase{"a record cut by the end of the file", [](Disk&) {}, 79, 5, 5,
                                                      100}),
                         CaseName());

// Every code is listed alike in the code table, the manual page, the JSON
// schema and the page's words.
TEST(Codes, ListedAlikeEverywhere) {
  std::set<std::string> table;
  for (int i = 0; i < d88info::CODE_COUNT; ++i) table.insert(d88info::codeName(static_cast<Code>(i)));
  ASSERT_EQ(table.size(), static_cast<std::size_t>(d88info::CODE_COUNT));

  auto read = [](const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  };
  const std::string man = read(D88INFO_MAN);
  const std::size_t from = man.find(".SH WARNINGS"), to = man.find(".SH", from + 4);
  ASSERT_NE(from, std::string::npos);
  std::set<std::string> manual;
  const std::regex word(R"(\b[a-z0-9]+(?:-[a-z0-9]+)+\b)");
  std::istringstream lines(man.substr(from, to - from));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(".B ", 0) != 0 && line.rfind(".BR ", 0) != 0) continue;
    for (std::sregex_iterator m(line.begin(), line.end(), word), end; m != end; ++m) manual.insert(m->str());
  }
  EXPECT_EQ(manual, table);

  const nlohmann::json schema = nlohmann::json::parse(read(D88INFO_SCHEMA));
  std::set<std::string> schemaCodes;
  for (const auto& code : schema["$defs"]["warning"]["properties"]["code"]["enum"]) schemaCodes.insert(code);
  EXPECT_EQ(schemaCodes, table);

  const std::string words = read(D88_WEB_WORDS);
  const std::size_t titles = words.find("const WARNING_TITLES");
  ASSERT_NE(titles, std::string::npos);
  std::set<std::string> page;
  const std::regex key(R"(\n\s*'([a-z0-9-]+)':)");
  const std::string rest = words.substr(titles);
  for (std::sregex_iterator m(rest.begin(), rest.end(), key), end; m != end; ++m) page.insert((*m)[1].str());
  EXPECT_EQ(page, table);
}

// The system disk cut short at every length: neither the cutter nor the
// inspection fails, and at every length d88cut's warnings and d88info's
// file states say the same.
TEST(Sweep, EveryTruncationOfTheSystemDisk) {
  const Bytes whole = buildImage({systemDisk()});
  std::vector<std::size_t> lengths;
  for (std::size_t n = 0; n < 4096; ++n) lengths.push_back(n);
  for (std::size_t n = 4096; n <= whole.size(); n += 16) lengths.push_back(n);
  lengths.push_back(whole.size());
  std::vector<unsigned char> workBuffer(WORK_BUFFER_SIZE);
  for (const std::size_t n : lengths) {
    d88::D88Image cutReader;
    ASSERT_TRUE(cutReader.openMemory(whole.data(), static_cast<std::int64_t>(n)));
    MemorySink sink;
    const CutResult cut = cutImage(cutReader, workBuffer.data(), sink);

    d88::D88Image reader;
    ASSERT_TRUE(reader.openMemory(whole.data(), static_cast<std::int64_t>(n)));
    const Report report = d88info::inspect(reader, "image.d88");
    std::string said;
    for (const d88info::Disk& d : report.disks) {
      for (const FileCheck& f : d.files) {
        if (!f.whole) said += "d88cut: warning: " + std::string(f.name) + " " + describeFileCheck(f) + "\n";
      }
    }
    ASSERT_EQ(sink.standardError, said) << "cut at " << n;
    ASSERT_EQ(cut.disks.empty(), report.disks.empty() || report.disks[0].known == d88info::Known::NONE)
        << "cut at " << n;
    ASSERT_FALSE(d88info::verdictText(report).empty());
  }
}

}  // namespace
}  // namespace d88test
