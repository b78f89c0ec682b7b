#include "d88_builder.h"

#include <algorithm>
#include <utility>

#include <cstdio>
#include <cstring>

namespace d88test {

namespace {
constexpr std::size_t RECORD_SIZE = 16;
constexpr int TRACKS = 164;
}  // namespace

const char SYSTEM_LABEL[17] = "QUORVEN X1   Sys";
const char MAKER_LABEL[17] = "Disk 3 maker Sys";

Record& Disk::add(int track, int c, int h, int r, int n, Bytes data) {
  Record record;
  record.c = static_cast<std::uint8_t>(c);
  record.h = static_cast<std::uint8_t>(h);
  record.r = static_cast<std::uint8_t>(r);
  record.n = static_cast<std::uint8_t>(n);
  record.data = std::move(data);
  std::vector<Record>& records = tracks[track].records;
  records.push_back(std::move(record));
  return records.back();
}

void putLe16(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2);
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  putLe16(bytes, offset, value & 0xFFFFu);
  putLe16(bytes, offset + 2, value >> 16);
}

Bytes buildDisk(const Disk& disk) {
  // A short-table writer lays its first track inside the usual 688 bytes;
  // the table then ends where the data starts.
  const std::size_t start = disk.dataStart > 0x20 ? static_cast<std::size_t>(disk.dataStart) : 0x20;
  Bytes out(start, 0);
  std::memcpy(out.data(), disk.name.data(), disk.name.size() < 16 ? disk.name.size() : 16);
  out[0x1A] = disk.writeProtect;
  out[0x1B] = disk.mediaType;
  for (const auto& [index, track] : disk.tracks) {
    if (index >= 0 && index < TRACKS && 0x20 + 4 * static_cast<std::size_t>(index) + 4 <= start) {
      putLe32(out, 0x20 + 4 * static_cast<std::size_t>(index), static_cast<std::uint32_t>(out.size()));
    }
    for (const Record& record : track.records) {
      const std::size_t at = out.size();
      out.resize(at + RECORD_SIZE, 0);
      out[at] = record.c;
      out[at + 1] = record.h;
      out[at + 2] = record.r;
      out[at + 3] = record.n;
      putLe16(out, at + 4,
              static_cast<std::uint32_t>(record.count >= 0 ? record.count : static_cast<int>(track.records.size())));
      out[at + 6] = record.density;
      out[at + 7] = record.deleted;
      out[at + 8] = record.status;
      putLe16(
          out, at + 14,
          static_cast<std::uint32_t>(record.dataSize >= 0 ? record.dataSize : static_cast<int>(record.data.size())));
      out.insert(out.end(), record.data.begin(), record.data.end());
    }
  }
  for (const auto& [index, entry] : disk.tableOverride) putLe32(out, 0x20 + 4 * static_cast<std::size_t>(index), entry);
  putLe32(out, 0x1C,
          static_cast<std::uint32_t>(disk.diskSize >= 0 ? disk.diskSize : static_cast<std::int64_t>(out.size())));
  return out;
}

Bytes buildImage(const std::vector<Disk>& disks) {
  Bytes out;
  for (const Disk& disk : disks) {
    const Bytes bytes = buildDisk(disk);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

bool writeFile(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

Bytes readFile(const std::string& path) {
  Bytes bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  std::uint8_t chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return bytes;
}

Bytes labelledSector(int track, int c, int h, int r, int n, int size) {
  Bytes out;
  out.reserve(static_cast<std::size_t>(size));
  for (int from = 0; from < size; from += 64) {
    char line[80];
    std::snprintf(line, sizeof line, "track %3d  C %3d  H %3d  R %3d  N %d  bytes %4d-%4d", track, c, h, r, n, from,
                  from + 63);
    std::string text(line);
    text.resize(63, ' ');
    text += '\n';
    for (char ch : text) {
      if (static_cast<int>(out.size()) < size) out.push_back(static_cast<std::uint8_t>(ch));
    }
  }
  return out;
}

Bytes labelSector(const char* label, int at, int size) {
  Bytes out = labelledSector(0, 0, 0, 1, 1, size);
  for (int i = 0; i < 16 && at + i < size; ++i)
    out[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(label[i]);
  return out;
}

Disk labelledDisk(const char* label) {
  Disk disk;
  disk.add(0, 0, 0, 1, 1, labelSector(label));
  for (int r = 2; r <= 16; ++r) disk.add(0, 0, 0, r, 1, labelledSector(0, 0, 0, r, 1, 256));
  return disk;
}

Disk systemDisk() {
  Disk disk = labelledDisk(SYSTEM_LABEL);
  disk.name = "SYSTEM DISK";
  for (int track = 1; track < 80; ++track) {
    for (int r = 1; r <= 5; ++r)
      disk.add(track, track / 2, track % 2, r, 3, labelledSector(track, track / 2, track % 2, r, 3, 1024));
  }
  return disk;
}

Disk compactSystemDisk() {
  Disk disk;
  disk.name = "SYSTEM DISK";
  disk.add(0, 0, 0, 1, 1, labelSector(SYSTEM_LABEL));
  for (int track : {3, 4, 8, 10, 11, 35, 36, 37, 41, 58, 68, 71, 78, 79}) {
    for (int r = 1; r <= 5; ++r)
      disk.add(track, track / 2, track % 2, r, 3, labelledSector(track, track / 2, track % 2, r, 3, 1024));
  }
  return disk;
}

Disk fillerDisk2HD(int number) {
  Disk disk;
  char name[17];
  std::snprintf(name, sizeof name, "FILLER %02d", number);
  disk.name = name;
  disk.mediaType = 0x20;
  for (int track = 0; track < 154; ++track) {
    for (int r = 1; r <= 8; ++r) {
      Bytes data(1024, static_cast<std::uint8_t>(number));
      disk.add(track, track / 2, track % 2, r, 3, std::move(data));
    }
  }
  return disk;
}

Bytes largeImage() {
  Bytes out;
  for (int i = 1; i <= 63; ++i) {
    const Bytes disk = buildDisk(fillerDisk2HD(i));
    out.insert(out.end(), disk.begin(), disk.end());
  }
  const Bytes system = buildDisk(systemDisk());
  out.insert(out.end(), system.begin(), system.end());
  return out;
}

Disk plainDisk() {
  Disk disk;
  disk.name = "PLAIN";
  for (int r = 1; r <= 4; ++r) disk.add(2, 1, 0, r, 1);
  disk.add(3, 1, 1, 1, 1);
  return disk;
}

Disk incompleteSystemDisk() {
  Disk disk = systemDisk();
  disk.tracks.erase(3);
  disk.tracks.erase(11);
  for (Record& record : disk.tracks[36].records) {
    if (record.r == 3) record.data.resize(512);
  }
  return disk;
}

Bytes emptyChainImage(int records, int disks) {
  Disk disk;
  disk.name = "EMPTY CHAIN";
  for (int i = 0; i + 1 < records; ++i) {
    Record& record = disk.add(0, 0xFF, 0xFF, 0xFF, 0, Bytes());
    record.count = records;
  }
  disk.add(0, 0, 0, 1, 1, labelSector(SYSTEM_LABEL)).count = records;
  for (int t = 1; t < 164; ++t) disk.tableOverride[t] = 688;
  return buildImage(std::vector<Disk>(static_cast<std::size_t>(disks), disk));
}

Bytes zeroPaddedImage() {
  constexpr std::size_t STRIDE = 5632;
  Bytes bytes(688 + 84 * STRIDE, 0);
  for (int t = 0; t < 84; ++t) {
    const std::size_t start = 688 + static_cast<std::size_t>(t) * STRIDE;
    putLe32(bytes, 0x20 + 4 * static_cast<std::size_t>(t), static_cast<std::uint32_t>(start));
    for (int r = 0; t < 80 && r < 16; ++r) {
      const std::size_t at = start + static_cast<std::size_t>(r) * (16 + 256);
      bytes[at] = static_cast<std::uint8_t>(t / 2);
      bytes[at + 1] = static_cast<std::uint8_t>(t % 2);
      bytes[at + 2] = static_cast<std::uint8_t>(r + 1);
      bytes[at + 3] = 1;
      putLe16(bytes, at + 4, 16);
      putLe16(bytes, at + 14, 256);
      std::fill(bytes.begin() + static_cast<long>(at + 16), bytes.begin() + static_cast<long>(at + 16 + 256), 0xE5);
    }
  }
  putLe32(bytes, 0x1C, static_cast<std::uint32_t>(bytes.size()));
  return bytes;
}

std::vector<std::pair<std::string, Bytes>> seedImages() {
  std::vector<std::pair<std::string, Bytes>> seeds;
  const Disk system = compactSystemDisk();
  const Bytes systemBytes = buildImage({system});
  seeds.emplace_back("system", systemBytes);
  seeds.emplace_back("multi", buildImage({labelledDisk("................"), makerDisk(), system}));
  seeds.emplace_back("maker", buildImage({makerDisk()}));
  seeds.emplace_back("truncated",
                     Bytes(systemBytes.begin(), systemBytes.begin() + static_cast<long>(systemBytes.size() / 2)));
  Disk small;
  for (int r = 1; r <= 4; ++r) small.add(0, 0, 0, r, 0, Bytes(128, static_cast<std::uint8_t>(r)));
  small.add(1, 0, 1, 1, 1, Bytes(256, 0x11));
  seeds.emplace_back("small", buildImage({small}));
  Bytes zeroSize = buildImage({small});
  putLe32(zeroSize, 0x1C, 0);
  seeds.emplace_back("disk-size-0", zeroSize);
  Bytes negativeSize = buildImage({small, small});
  putLe32(negativeSize, 0x1C, 0x80000000u);
  seeds.emplace_back("disk-size-negative", negativeSize);
  Disk badEntries = small;
  badEntries.tableOverride[1] = 0xFFFFFFFFu;
  badEntries.tableOverride[2] = 0x7FFFFFF0u;
  badEntries.tableOverride[3] = 688;  // same offset as track 0
  seeds.emplace_back("bad-table-entries", buildImage({badEntries}));
  Disk counts = small;
  counts.tracks[0].records[0].count = 0;
  counts.tracks[0].records[1].count = 0x0400;  // byte-swapped
  counts.tracks[1].records[0].count = 0xFFFF;
  seeds.emplace_back("odd-counts", buildImage({counts}));
  Disk sizes = small;
  sizes.tracks[0].records[0].dataSize = 0xFFFF;
  sizes.tracks[0].records[1].n = 0xFF;
  seeds.emplace_back("odd-data-sizes", buildImage({sizes}));
  Disk shortTable = small;
  shortTable.dataStart = 672;
  seeds.emplace_back("short-table", buildImage({shortTable}));
  Disk systemCut = system;
  systemCut.tracks.erase(11);
  systemCut.tracks[36].records[2].data.resize(512);
  seeds.emplace_back("system-incomplete", buildImage({systemCut}));
  seeds.emplace_back("empty-chain", emptyChainImage(300, 2));
  return seeds;
}

Disk makerDisk() {
  Disk disk = labelledDisk(MAKER_LABEL);
  disk.name = "MAKER DISK";
  return disk;
}

Bytes sectorData(const Disk& disk, int track, int r) {
  const auto found = disk.tracks.find(track);
  if (found == disk.tracks.end()) return {};
  for (const Record& record : found->second.records) {
    if (record.r == r && record.n == 3) return record.data;
  }
  return {};
}

}  // namespace d88test
