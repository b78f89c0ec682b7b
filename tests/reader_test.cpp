// The reader: index walk, selection and single-sector lookup.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "d88/d88_image.h"
#include "test_util.h"

namespace d88test {
namespace {

using d88test::operator<<;  // names the cases in test listings

using d88::D88Image;

// Writes `bytes` into a scratch folder and opens it.
class ImageFile {
 public:
  explicit ImageFile(const Bytes& bytes) : path_(dir_.file("image.d88")) { EXPECT_TRUE(writeFile(path_, bytes)); }
  const std::string& path() const { return path_; }

 private:
  ScratchDir dir_;
  std::string path_;
};

Disk oneSectorDisk(Bytes data = Bytes(256, 0xAB)) {
  Disk disk;
  disk.add(0, 0, 0, 1, 1, std::move(data));
  return disk;
}

TEST(ReaderOpen, OpenFailuresHoldNoFile) {
  ScratchDir dir;
  D88Image reader;
  EXPECT_FALSE(reader.open(dir.file("missing.d88").c_str()));
  // A directory opens with fopen on POSIX but cannot be read.
  EXPECT_FALSE(reader.open(dir.path().c_str()));
  EXPECT_FALSE(reader.selectDisk(0));
  EXPECT_EQ(reader.diskCount(), 0);
}

TEST(ReaderOpen, CloseWithNullPath) {
  ImageFile image(buildImage({oneSectorDisk()}));
  D88Image reader;
  ASSERT_TRUE(reader.open(image.path().c_str()));
  ASSERT_TRUE(reader.selectDisk(0));
  EXPECT_EQ(reader.mediaType(), 0);
  EXPECT_TRUE(reader.open(nullptr));
  EXPECT_EQ(reader.diskCount(), 0);
  EXPECT_EQ(reader.mediaType(), -1);
  unsigned char buffer[256];
  EXPECT_EQ(reader.readSector(0, 0, 0, 1, 1, buffer, 256), 0);
  EXPECT_FALSE(reader.selectDisk(0));
}

struct WalkCase {
  const char* what;
  std::function<Bytes()> image;
  int count;
  std::vector<int> offsets;  // header offsets of the first disks
};

class ReaderWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(ReaderWalk, IndexesDisks) {
  const WalkCase& c = GetParam();
  ImageFile image(c.image());
  D88Image reader;
  ASSERT_TRUE(reader.open(image.path().c_str()));
  EXPECT_EQ(reader.diskCount(), c.count);
  for (std::size_t i = 0; i < c.offsets.size(); ++i) {
    ASSERT_TRUE(reader.selectDisk(static_cast<int>(i))) << i;
    EXPECT_EQ(reader.diskOffset(), c.offsets[i]) << i;
  }
}

Bytes disks(int count) {
  std::vector<Disk> list(static_cast<std::size_t>(count), oneSectorDisk());
  return buildImage(list);
}

Bytes withSize(Bytes bytes, std::size_t header, std::uint32_t size) {
  putLe32(bytes, header + 0x1C, size);
  return bytes;
}

const int ONE = 688 + 16 + 256;  // one disk of one 256-byte sector

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderWalk,
    ::testing::Values(WalkCase{"one disk", [] { return disks(1); }, 1, {0}},
                      WalkCase{"two exact disks", [] { return disks(2); }, 2, {0, ONE}},
                      WalkCase{"fewer than 688 bytes", [] { return Bytes(687, 0); }, 0, {}},
                      WalkCase{"empty file", [] { return Bytes(); }, 0, {}},
                      // Size 0 points the walk back at the same header.
                      WalkCase{"disk size 0", [] { return withSize(disks(1), 0, 0); }, 64, {0, 0, 0}},
                      WalkCase{"more than 64 disks", [] { return disks(70); }, 64, {0, ONE, 2 * ONE}},
                      // The last disk may run past the end of the file.
                      WalkCase{"size past the end", [] { return withSize(disks(1), 0, 100000); }, 1, {0}},
                      // Sizes of 2^31 and more read as negative: the walk ends there.
                      WalkCase{"negative disk size", [] { return withSize(disks(2), 0, 0x80000000u); }, 1, {0}},
                      WalkCase{
                          "next position past 2^31", [] { return withSize(disks(3), ONE, 0x7FFFFFFFu); }, 2, {0, ONE}}),
    CaseName());

TEST(ReaderSelect, ValidDiskName16AndMediaType) {
  Disk first = oneSectorDisk();
  first.name = "ABCDEFGHIJKLMNOP";  // all 16 bytes: no terminator in the header
  first.mediaType = 0x20;
  Disk second = oneSectorDisk();
  second.name = "SHORT";
  second.mediaType = 0x10;
  Bytes bytes = buildImage({first, second});
  bytes[ONE + 6] = 'X';  // after the NUL that ends "SHORT": not part of the name
  ImageFile image(bytes);
  D88Image reader;
  ASSERT_TRUE(reader.open(image.path().c_str()));
  EXPECT_STREQ(reader.diskName(), "");
  EXPECT_EQ(reader.mediaType(), -1);
  ASSERT_TRUE(reader.selectDisk(0));
  EXPECT_STREQ(reader.diskName(), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(reader.mediaType(), 0x20);
  EXPECT_EQ(reader.diskSize(), ONE);
  ASSERT_TRUE(reader.selectDisk(1));
  EXPECT_STREQ(reader.diskName(), "SHORT");
  EXPECT_EQ(reader.mediaType(), 0x10);
}

TEST(ReaderSelect, OutOfRangeLeavesNoDiskSelected) {
  ImageFile image(disks(2));
  D88Image reader;
  ASSERT_TRUE(reader.open(image.path().c_str()));
  unsigned char buffer[256];
  for (int index : {2, -1, 1000}) {
    ASSERT_TRUE(reader.selectDisk(0));
    EXPECT_EQ(reader.readSector(0, 0, 0, 1, 1, buffer, 256), 256);
    EXPECT_FALSE(reader.selectDisk(index)) << index;
    EXPECT_EQ(reader.mediaType(), -1);
    EXPECT_STREQ(reader.diskName(), "");
    EXPECT_EQ(reader.diskSize(), 0);
    // The old track table is still there, but nothing can be read through it.
    EXPECT_EQ(reader.readSector(0, 0, 0, 1, 1, buffer, 256), 0);
  }
}

TEST(ReaderSelect, HeaderThatCannotBeReReadLeavesNoDiskSelected) {
  // The first disk is larger than any stdio buffer, so that the second
  // header is really read again.
  Disk large;
  for (int r = 1; r <= 32; ++r) large.add(0, 0, 0, r, 3);
  const Bytes bytes = buildImage({large, oneSectorDisk()});
  const std::size_t second = buildDisk(large).size();
  ImageFile image(bytes);
  D88Image reader;
  ASSERT_TRUE(reader.open(image.path().c_str()));
  ASSERT_EQ(reader.diskCount(), 2);
  // The file shrinks after it was indexed.
  std::error_code ec;
  std::filesystem::resize_file(image.path(), second + 100, ec);
  if (ec) GTEST_SKIP() << "this platform cannot shrink an open file: " << ec.message();
  EXPECT_TRUE(reader.selectDisk(0));
  EXPECT_FALSE(reader.selectDisk(1));
  EXPECT_EQ(reader.mediaType(), -1);
  EXPECT_EQ(reader.diskSize(), 0);
  unsigned char buffer[1024];
  EXPECT_EQ(reader.readSector(0, 0, 0, 1, 3, buffer, 1024), 0);
}

struct LookupCase {
  const char* what;
  std::function<Bytes()> image;
  int track, c, h, r, n, length;
  int expected;
  std::uint8_t fill;  // expected byte value of the data returned
};

class ReaderLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ReaderLookup, FindsSector) {
  const LookupCase& c = GetParam();
  ImageFile image(c.image());
  D88Image reader;
  ASSERT_TRUE(reader.open(image.path().c_str()));
  ASSERT_TRUE(reader.selectDisk(0));
  Bytes buffer(2048 + 16, 0xEE);
  EXPECT_EQ(reader.readSector(c.track, c.c, c.h, c.r, c.n, buffer.data() + 8, c.length), c.expected);
  for (int i = 0; i < c.expected; ++i) ASSERT_EQ(buffer[8 + static_cast<std::size_t>(i)], c.fill) << i;
  // Nothing is written before the buffer or past what was returned.
  for (int i = 0; i < 8; ++i) ASSERT_EQ(buffer[static_cast<std::size_t>(i)], 0xEE);
  for (std::size_t i = 8 + static_cast<std::size_t>(c.expected); i < buffer.size(); ++i)
    ASSERT_EQ(buffer[i], 0xEE) << i;
}

// Track 2: R 1..3 of 256 bytes filled with 0x11, 0x22, 0x33.
Disk threeSectors() {
  Disk disk;
  for (int r = 1; r <= 3; ++r) disk.add(2, 1, 0, r, 1, Bytes(256, static_cast<std::uint8_t>(0x11 * r)));
  return disk;
}

Bytes image(const Disk& disk) { return buildImage({disk}); }

Bytes changed(const std::function<void(Disk&)>& change) {
  Disk disk = threeSectors();
  change(disk);
  return image(disk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderLookup,
    ::testing::Values(
        LookupCase{"match", [] { return image(threeSectors()); }, 2, 1, 0, 3, 1, 256, 256, 0x33},
        LookupCase{"length smaller than data", [] { return image(threeSectors()); }, 2, 1, 0, 2, 1, 100, 100, 0x22},
        LookupCase{"length 0", [] { return image(threeSectors()); }, 2, 1, 0, 2, 1, 0, 0, 0},
        LookupCase{"negative length", [] { return image(threeSectors()); }, 2, 1, 0, 2, 1, -5, 0, 0},
        LookupCase{"other N", [] { return image(threeSectors()); }, 2, 1, 0, 2, 2, 256, 0, 0},
        LookupCase{"other C", [] { return image(threeSectors()); }, 2, 0, 0, 2, 1, 256, 0, 0},
        LookupCase{"R outside 0..255", [] { return image(threeSectors()); }, 2, 1, 0, 257, 1, 256, 0, 0},
        LookupCase{"other track", [] { return image(threeSectors()); }, 3, 1, 0, 1, 1, 256, 0, 0},
        LookupCase{"track -1", [] { return image(threeSectors()); }, -1, 1, 0, 1, 1, 256, 0, 0},
        LookupCase{"track 164", [] { return image(threeSectors()); }, 164, 1, 0, 1, 1, 256, 0, 0},
        LookupCase{"count 0 in first record",
                   [] { return changed([](Disk& d) { d.tracks[2].records[0].count = 0; }); },
                   2, 1, 0, 1, 1, 256, 0, 0},
        LookupCase{"count 1 hides later records",
                   [] { return changed([](Disk& d) { d.tracks[2].records[0].count = 1; }); },
                   2, 1, 0, 2, 1, 256, 0, 0},
        LookupCase{"count 1 still finds the first",
                   [] { return changed([](Disk& d) { d.tracks[2].records[0].count = 1; }); },
                   2, 1, 0, 1, 1, 256, 256, 0x11},
        LookupCase{"first match wins",
                   [] { return changed([](Disk& d) { d.tracks[2].records[2].r = 2; }); },
                   2, 1, 0, 2, 1, 256, 256, 0x22},
        // The data size, not N, decides the skip and the length.
        LookupCase{"data size differs from N",
                   [] {
                     Disk d;
                     d.add(2, 1, 0, 1, 3, Bytes(300, 0x44));
                     d.add(2, 1, 0, 2, 1, Bytes(256, 0x55));
                     return image(d);
                   },
                   2, 1, 0, 2, 1, 2048, 256, 0x55},
        LookupCase{"table entry 0",
                   [] { return changed([](Disk& d) { d.tableOverride[2] = 0; }); },
                   2, 1, 0, 1, 1, 256, 0, 0},
        // The entry, 688, lies past the disk size; the records are there.
        LookupCase{"table entry beyond the disk size", [] { return changed([](Disk& d) { d.diskSize = 687; }); },
                   2, 1, 0, 1, 1, 256, 0, 0},
        LookupCase{"negative table entry",
                   [] { return changed([](Disk& d) { d.tableOverride[2] = 0x800002B0u; }); },
                   2, 1, 0, 1, 1, 256, 0, 0},
        // Only the bytes the file holds are returned.
        LookupCase{"data cut by the end of the file",
                   [] {
                     Bytes b = image(threeSectors());
                     b.resize(b.size() - 56);
                     return b;
                   },
                   2, 1, 0, 3, 1, 256, 200, 0x33},
        LookupCase{"record cut by the end of the file",
                   [] {
                     Bytes b = image(threeSectors());
                     b.resize(b.size() - 256 - 8);
                     return b;
                   },
                   2, 1, 0, 3, 1, 256, 0, 0}),
    CaseName());

TEST(ReaderLookup, NoFileOrNoDiskReadsNothing) {
  D88Image reader;
  unsigned char buffer[256];
  EXPECT_EQ(reader.readSector(0, 0, 0, 1, 1, buffer, 256), 0);
  EXPECT_FALSE(reader.selectDisk(0));
  ImageFile image(buildImage({oneSectorDisk()}));
  ASSERT_TRUE(reader.open(image.path().c_str()));
  // Open but not selected: the disk size is still 0.
  EXPECT_EQ(reader.readSector(0, 0, 0, 1, 1, buffer, 256), 0);
}

}  // namespace
}  // namespace d88test
