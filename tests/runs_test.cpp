// Sector runs across sectors, heads and tracks, and the track listing.
#include <gtest/gtest.h>

#include <functional>

#include "d88/d88_image.h"
#include "test_util.h"

namespace d88test {
namespace {

using d88test::operator<<;  // names the cases in test listings

using d88::D88Image;

struct Piece {
  int track, r;
  std::size_t from, to;  // bytes [from, to) of that sector
};

struct RunCase {
  const char* what;
  std::function<void(Disk&)> change;  // damage to the complete system disk
  int first, last;                    // sector range
  int track, c, h, r, n, length;
  int expected;
  std::vector<Piece> pieces;  // what the buffer holds, in order, up to `expected`
};

class Runs : public ::testing::TestWithParam<RunCase> {};

TEST_P(Runs, ReadsRun) {
  const RunCase& c = GetParam();
  Disk disk = systemDisk();
  if (c.change) c.change(disk);
  ScratchDir dir;
  ASSERT_TRUE(writeFile(dir.file("image.d88"), buildImage({disk})));
  D88Image reader;
  ASSERT_TRUE(reader.open(dir.file("image.d88").c_str()));
  ASSERT_TRUE(reader.selectDisk(0));
  reader.setSectorRange(c.first, c.last);
  const std::size_t room = c.length > 0 ? static_cast<std::size_t>(c.length) : 0;
  Bytes buffer(room + 32, 0xEE);
  EXPECT_EQ(reader.readSectors(c.track, c.c, c.h, c.r, c.n, buffer.data() + 16, c.length), c.expected);
  Bytes expected;
  for (const Piece& p : c.pieces) {
    const Bytes piece = slice(sectorData(disk, p.track, p.r), p.from, p.to);
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  EXPECT_TRUE(sameBytes(expected, slice(buffer, 16, 16 + static_cast<std::size_t>(c.expected))));
  // Never a byte outside [buffer, buffer + length).
  for (std::size_t i = 0; i < 16; ++i) ASSERT_EQ(buffer[i], 0xEE);
  for (std::size_t i = 16 + room; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xEE);
}

std::vector<Piece> whole(int track, int from, int to) {
  std::vector<Piece> pieces;
  for (int r = from; r <= to; ++r) pieces.push_back({track, r, 0, 1024});
  return pieces;
}

std::vector<Piece> join(std::vector<Piece> a, const std::vector<Piece>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void removeRecord(Disk& disk, int track, int r) {
  auto& records = disk.tracks[track].records;
  for (auto it = records.begin(); it != records.end(); ++it) {
    if (it->r == r) {
      records.erase(it);
      return;
    }
  }
}

void resizeData(Disk& disk, int track, int r, std::size_t size) {
  for (Record& record : disk.tracks[track].records) {
    if (record.r == r) record.data.resize(size, 0x5A);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Runs,
    ::testing::Values(
        RunCase{"length 0", nullptr, 1, 5, 3, 1, 1, 1, 3, 0, 0, {}},
        RunCase{"negative length", nullptr, 1, 5, 3, 1, 1, 1, 3, -1024, 0, {}},
        // Head 1 wraps to head 0 of the next cylinder.
        RunCase{"track 3 head 1 onto track 4", nullptr, 1, 5, 3, 1, 1, 1, 3, 7168, 7168,
                join(whole(3, 1, 5), whole(4, 1, 2))},
        // Head 0 moves to head 1 of the same cylinder.
        RunCase{"track 36 head 0 onto track 37", nullptr, 1, 5, 36, 18, 0, 1, 3, 6144, 6144,
                join(whole(36, 1, 5), whole(37, 1, 1))},
        RunCase{"partial last piece", nullptr, 1, 5, 10, 5, 0, 1, 3, 768, 768, {{10, 1, 0, 768}}},
        RunCase{"missing second sector", [](Disk& d) { removeRecord(d, 3, 2); }, 1, 5, 3, 1, 1, 1, 3, 7168, 1024,
                whole(3, 1, 1)},
        RunCase{"short sector mid-run", [](Disk& d) { resizeData(d, 3, 3, 512); }, 1, 5, 3, 1, 1, 1, 3, 7168, 2048,
                whole(3, 1, 2)},
        // The shrunk last piece needs only as many bytes as it asks for.
        RunCase{"short sector as the shrunk last piece", [](Disk& d) { resizeData(d, 3, 3, 512); }, 1, 5, 3, 1, 1, 1,
                3, 2048 + 500, 2048 + 500, join(whole(3, 1, 2), {{3, 3, 0, 500}})},
        // A sector the end of the file cuts short stops the run.
        RunCase{"sector cut by the end of the file",
                [](Disk& d) {
                  d.tracks.erase(d.tracks.find(4), d.tracks.end());
                  resizeData(d, 3, 5, 1000);
                  d.tracks[3].records.back().dataSize = 1024;
                },
                1, 5, 3, 1, 1, 1, 3, 7168, 4096, whole(3, 1, 4)},
        // Above the last sector the run never changes track.
        RunCase{"started above the last sector",
                [](Disk& d) {
                  d.add(3, 1, 1, 7, 3, labelledSector(3, 1, 1, 7, 3, 1024));
                  d.add(3, 1, 1, 8, 3, labelledSector(3, 1, 1, 8, 3, 1024));
                },
                1, 5, 3, 1, 1, 7, 3, 7168, 2048, whole(3, 7, 8)},
        RunCase{"narrow range", nullptr, 1, 2, 3, 1, 1, 1, 3, 5120, 5120,
                join(join(whole(3, 1, 2), whole(4, 1, 2)), whole(5, 1, 1))},
        RunCase{"range starting at 3 on the next track", nullptr, 3, 5, 3, 1, 1, 4, 3, 3072, 3072,
                join(whole(3, 4, 5), whole(4, 3, 3))},
        RunCase{"size code -1", nullptr, 1, 5, 3, 1, 1, 1, -1, 1024, 0, {}},
        RunCase{"size code 24", nullptr, 1, 5, 3, 1, 1, 1, 24, 1024, 0, {}},
        RunCase{"size code 31", nullptr, 1, 5, 3, 1, 1, 1, 31, 1024, 0, {}}),
    CaseName());

TEST(Runs, RangeChangeBetweenRunsIsSeenByTheNextRun) {
  const Disk disk = systemDisk();
  ScratchDir dir;
  ASSERT_TRUE(writeFile(dir.file("image.d88"), buildImage({disk})));
  D88Image reader;
  ASSERT_TRUE(reader.open(dir.file("image.d88").c_str()));
  ASSERT_TRUE(reader.selectDisk(0));
  Bytes buffer(3072);
  reader.setSectorRange(1, 5);
  EXPECT_EQ(reader.readSectors(3, 1, 1, 5, 3, buffer.data(), 2048), 2048);
  EXPECT_TRUE(sameBytes(concat({sectorData(disk, 3, 5), sectorData(disk, 4, 1)}), slice(buffer, 0, 2048)));
  reader.setSectorRange(2, 5);
  EXPECT_EQ(reader.readSectors(3, 1, 1, 5, 3, buffer.data(), 2048), 2048);
  EXPECT_TRUE(sameBytes(concat({sectorData(disk, 3, 5), sectorData(disk, 4, 2)}), slice(buffer, 0, 2048)));
}

struct ListCase {
  const char* what;
  std::function<Disk()> disk;
  std::function<void(Bytes&)> damage;
  int track, length;
  std::vector<int> rs;  // R of each entry expected
};

class Listing : public ::testing::TestWithParam<ListCase> {};

TEST_P(Listing, ListsIdsInStoredOrder) {
  const ListCase& c = GetParam();
  Bytes bytes = buildImage({c.disk()});
  if (c.damage) c.damage(bytes);
  ScratchDir dir;
  ASSERT_TRUE(writeFile(dir.file("image.d88"), bytes));
  D88Image reader;
  ASSERT_TRUE(reader.open(dir.file("image.d88").c_str()));
  ASSERT_TRUE(reader.selectDisk(0));
  const std::size_t room = c.length > 0 ? static_cast<std::size_t>(c.length) : 0;
  Bytes buffer(room + 32, 0xEE);
  const int got = reader.readTrackIds(c.track, buffer.data() + 16, c.length);
  ASSERT_EQ(got, static_cast<int>(4 * c.rs.size()));
  for (std::size_t i = 0; i < c.rs.size(); ++i) {
    EXPECT_EQ(buffer[16 + 4 * i + 0], 7) << i;  // C
    EXPECT_EQ(buffer[16 + 4 * i + 1], 1) << i;  // H
    EXPECT_EQ(buffer[16 + 4 * i + 2], c.rs[i]) << i;
    EXPECT_EQ(buffer[16 + 4 * i + 3], 1) << i;  // N
  }
  for (std::size_t i = 0; i < 16; ++i) ASSERT_EQ(buffer[i], 0xEE);
  for (std::size_t i = 16 + room; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xEE) << i;
}

// Track 15 (C 7, H 1): `count` records of 256 bytes, stored R 16, 15, ..., 1.
Disk descending(int records, int countField = -1) {
  Disk disk;
  for (int i = 0; i < records; ++i) disk.add(15, 7, 1, records - i, 1).count = countField;
  return disk;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Listing,
    ::testing::Values(
        ListCase{"whole track", [] { return descending(5); }, nullptr, 15, 64, {5, 4, 3, 2, 1}},
        ListCase{"length cuts the listing", [] { return descending(16); }, nullptr, 15, 8, {16, 15}},
        ListCase{"count smaller than the records", [] { return descending(8, 5); }, nullptr, 15, 64, {8, 7, 6, 5, 4}},
        // Unlike a lookup, the listing goes on over a count of 0.
        ListCase{"count 0 fills the buffer", [] { return descending(8, 0); }, nullptr, 15, 16, {8, 7, 6, 5}},
        ListCase{"count 0 up to the end of the file", [] { return descending(3, 0); }, nullptr, 15, 64, {3, 2, 1}},
        ListCase{"length not a multiple of 4", [] { return descending(8); }, nullptr, 15, 10, {8, 7}},
        ListCase{"length 3", [] { return descending(8); }, nullptr, 15, 3, {}},
        ListCase{"negative length", [] { return descending(8); }, nullptr, 15, -4, {}},
        ListCase{"absent track", [] { return descending(8); }, nullptr, 14, 64, {}},
        ListCase{"record cut by the end of the file",
                 [] { return descending(3); },
                 [](Bytes& b) { b.resize(b.size() - 256 - 10); },
                 15,
                 64,
                 {3, 2}}),
    CaseName());

}  // namespace
}  // namespace d88test
