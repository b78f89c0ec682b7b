// A small D88 image writer for tests, fuzz seeds, benchmarks and the demo.
//
// Every header and record field can be set, so that a malformed image takes
// a few lines: describe the disk, build it, then patch bytes if needed.
#ifndef TESTS_BUILDER_D88_BUILDER_H
#define TESTS_BUILDER_D88_BUILDER_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace d88test {

using Bytes = std::vector<std::uint8_t>;

struct Record {
  std::uint8_t c = 0, h = 0, r = 1, n = 1;
  int count = -1;     // sector-count field; -1: the number of records in the track
  int dataSize = -1;  // data-size field; -1: data.size(). The bytes written are always `data`.
  std::uint8_t density = 0, deleted = 0, status = 0;
  Bytes data;
};

struct Track {
  std::vector<Record> records;
};

struct Disk {
  std::string name;  // at most 16 bytes are stored
  std::uint8_t writeProtect = 0;
  std::uint8_t mediaType = 0;
  std::int64_t diskSize = -1;                  // disk-size field; -1: the bytes built
  std::map<int, Track> tracks;                 // by track index, laid out in index order
  std::map<int, std::uint32_t> tableOverride;  // raw track table entries
  int dataStart = 688;                         // where the first track is laid (672 for short-table writers)

  // Appends a record to `track` and returns it for further changes.
  Record& add(int track, int c, int h, int r, int n, Bytes data);
  Record& add(int track, int c, int h, int r, int n) { return add(track, c, h, r, n, Bytes(128u << n, 0)); }
};

Bytes buildDisk(const Disk& disk);
Bytes buildImage(const std::vector<Disk>& disks);

void putLe16(Bytes& bytes, std::size_t offset, std::uint32_t value);
void putLe32(Bytes& bytes, std::size_t offset, std::uint32_t value);
bool writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);

// Sector data that names where it came from: 64-byte text lines such as
// "track   3  C   1  H   1  R   1  N 3  bytes    0-  63", so that in a cut
// file every piece shows its sector and byte range.
Bytes labelledSector(int track, int c, int h, int r, int n, int size);

// The 16-byte labels the tool recognises, at bytes 1..16 of track 0 R 1.
extern const char SYSTEM_LABEL[17];
extern const char MAKER_LABEL[17];

// A label sector (C 0, H 0, R 1, N 1, 256 bytes) with `label` at byte `at`.
Bytes labelSector(const char* label, int at = 1, int size = 256);

// A complete system disk: track 0 with sixteen 256-byte sectors, the first
// carrying the label; tracks 1..79 (C = t / 2, H = t % 2) with 1024-byte
// sectors R 1..5, each filled by labelledSector.
Disk systemDisk();
// The system disk without tracks 3 and 11, and with track 36 R 3 cut to 512
// bytes: DRIVER is not cut, MUSIC1 and MUSIC2 are incomplete.
Disk incompleteSystemDisk();
// The system disk with only track 0's label sector and the tracks the
// extraction reads: small enough for a fuzzing seed.
Disk compactSystemDisk();
// A filler disk laid out like a 2HD disk: 154 tracks of eight 1024-byte
// sectors, with an unknown label. About 1.28 MB.
Disk fillerDisk2HD(int number);
// 63 filler disks and the system disk last: about 80 MB.
Bytes largeImage();
// The worst case for lookups: `disks` disks, each with all 164 track-table
// entries pointing at one chain of `records` records that hold no data and
// all say `records` sectors, the last of them the system label sector.
Bytes emptyChainImage(int records, int disks);
// As one writer lays out a 2D disk: sixteen 256-byte sectors a track (each
// filled with 0xE5), every track padded with zero bytes to a 5,632-byte
// stride, and four more table entries (tracks 80-83) at 5,632 zero bytes
// each.
Bytes zeroPaddedImage();
// Named seed images for fuzzing: complete, multi-disk and malformed.
std::vector<std::pair<std::string, Bytes>> seedImages();
// A small disk of no known kind: track 2 (C 1, H 0) with R 1..4 of 256
// bytes, then track 3 (C 1, H 1) with R 1, named "PLAIN".
Disk plainDisk();
// A disk whose label sector carries the maker label.
Disk makerDisk();
// A disk whose label sector carries `label` (16 bytes) at byte 1.
Disk labelledDisk(const char* label);

// The data of the first record (track, r) with size code 3, or empty.
Bytes sectorData(const Disk& disk, int track, int r);

}  // namespace d88test

#endif  // TESTS_BUILDER_D88_BUILDER_H
