// FAT12 as MS-DOS, PC-98 MS-DOS, FM Towns and MSX-DOS write it on floppy
// disks.
//
//   logical sector L   cylinder L / (spt * heads), head L / spt % heads,
//                      R = L % spt + 1 (the disk's slot: cylinder * 2 + head,
//                      or the cylinder's slot on a single-sided disk)
//   boot sector        L 0; its BPB at 0x0B: bytes per sector (2), sectors per
//                      cluster (1), reserved sectors (2), FATs (1), root
//                      entries (2), total sectors (2), media (1), sectors per
//                      FAT (2), sectors per track (2), heads (2)
//   no BPB             the media byte (the FAT's first byte) names a standard
//                      layout
//   FATs, root         after the reserved sectors; clusters from 2 after the root
//   FAT12 entry n      bytes n * 3 / 2 .. +1: even n the low 12 bits, odd n the high
//                      0 free, FF0-FF6 reserved, FF7 bad, FF8-FFF last
//   directory entry    32 bytes: name 8, ext 3, attributes, ..., time at 0x16,
//                      date at 0x18, first cluster at 0x1A, size at 0x1C;
//                      first byte 0 ends the directory, E5 deleted, 05 means E5;
//                      attributes 0x0F: a long-name (VFAT) piece
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "d88/shift_jis.h"
#include "fs/internal.h"

namespace d88fs {
namespace {

struct Geometry {
  int bytesPerSector = 0;
  int sectorsPerCluster = 0;
  int reserved = 0;
  int fats = 0;
  int rootEntries = 0;
  int totalSectors = 0;
  int media = 0;
  int sectorsPerFat = 0;
  int sectorsPerTrack = 0;
  int heads = 0;
};

// The standard layouts a media byte names where the boot sector has no BPB.
struct Standard {
  int media, bytes, spt, heads, cylinders, spc, fatSectors, root;
  const char* what;
};
const Standard STANDARDS[] = {
    {0xFE, 1024, 8, 2, 77, 1, 2, 192, "PC-98 2HD, 1.25 MB"},
    {0xFF, 512, 8, 2, 40, 2, 1, 112, "320 KB"},
    {0xFE, 512, 8, 1, 40, 1, 1, 64, "160 KB"},
    {0xFD, 512, 9, 2, 40, 2, 2, 112, "360 KB"},
    {0xFC, 512, 9, 1, 40, 1, 2, 64, "180 KB"},
    {0xF9, 512, 9, 2, 80, 2, 3, 112, "720 KB"},
    {0xF8, 512, 9, 1, 80, 2, 2, 112, "360 KB single-sided (MSX)"},
    {0xFB, 512, 8, 2, 80, 2, 2, 112, "640 KB"},
    {0xFA, 512, 8, 1, 80, 1, 1, 112, "320 KB single-sided (MSX)"},
};

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

class Fat12 {
 public:
  Fat12(const DiskSectors& disk, const Geometry& g) : disk_(disk), g_(g) {
    // Single-sided disks stand on every slot, or on the even ones.
    evenSlots_ = g.heads == 1 && !disk.hasTrack(1) && disk.hasTrack(2);
  }

  // The slot and R of logical sector `l`.
  void place(int l, int& track, int& r) const {
    const int perCylinder = g_.sectorsPerTrack * g_.heads;
    const int cylinder = l / perCylinder;
    const int head = l / g_.sectorsPerTrack % g_.heads;
    r = l % g_.sectorsPerTrack + 1;
    track = g_.heads == 2 ? cylinder * 2 + head : evenSlots_ ? cylinder * 2 : cylinder;
  }

  bool readLogical(int l, std::vector<unsigned char>& out) const {
    int track = 0, r = 0;
    place(l, track, r);
    return disk_.readPadded(track, r, out, g_.bytesPerSector);
  }

  SectorRef ref(int l, int take) const {
    int track = 0, r = 0;
    place(l, track, r);
    return {track, r, disk_.at(track, r).record, take};
  }

  int fatStart() const { return g_.reserved; }
  int rootStart() const { return g_.reserved + g_.fats * g_.sectorsPerFat; }
  int rootSectors() const { return (g_.rootEntries * 32 + g_.bytesPerSector - 1) / g_.bytesPerSector; }
  int dataStart() const { return rootStart() + rootSectors(); }
  int clusterCount() const {
    const int data = g_.totalSectors - dataStart();
    return data > 0 ? data / g_.sectorsPerCluster + 2 : 2;
  }
  int firstSector(int cluster) const { return dataStart() + (cluster - 2) * g_.sectorsPerCluster; }

  // Reads the FATs; notes when the copies differ.
  void loadFats(Listing& out) {
    const int bytes = g_.sectorsPerFat * g_.bytesPerSector;
    for (int copy = 0; copy < g_.fats; ++copy) {
      std::vector<unsigned char> table;
      std::vector<unsigned char> sector;
      for (int i = 0; i < g_.sectorsPerFat; ++i) {
        if (!readLogical(fatStart() + copy * g_.sectorsPerFat + i, sector) && copy == 0) {
          out.warnings.push_back({FsCode::SECTOR_MISSING, "", fatStart() + i, 0});
        }
        table.insert(table.end(), sector.begin(), sector.end());
      }
      table.resize(static_cast<std::size_t>(bytes));
      if (copy == 0) {
        fat_ = table;
      } else if (table != fat_) {
        out.warnings.push_back({FsCode::COPIES_DIFFER, "", 0, copy + 1});
      }
    }
  }

  int entry(int n) const {
    const std::size_t at = static_cast<std::size_t>(n) * 3 / 2;
    if (at + 1 >= fat_.size()) return -1;
    const int word = fat_[at] | fat_[at + 1] << 8;
    return n % 2 == 0 ? word & 0xFFF : word >> 4;
  }

  Link link(int cluster) const {
    const int v = entry(cluster);
    if (v < 0) return {Link::OUT_OF_RANGE};
    if (v == 0) return {Link::FREE};
    if (v >= 0xFF8) return {Link::LAST};
    if (v >= 0xFF0 || v == 1) return {Link::RESERVED};
    return {Link::NEXT, v};
  }

  // Lists the directory whose entries are in logical sectors `sectors`,
  // under `prefix`.
  void list(const std::vector<int>& sectors, const std::string& prefix, const std::vector<std::string>& parts,
            const std::vector<bool>& utf8Parts, Listing& out, Claims& owner, std::set<int>& directories, int depth) {
    std::vector<unsigned char> bytes, sector;
    for (int l : sectors) {
      if (!readLogical(l, sector)) out.warnings.push_back({FsCode::SECTOR_MISSING, prefix, l, 0});
      bytes.insert(bytes.end(), sector.begin(), sector.end());
    }
    std::u16string longName;
    for (std::size_t at = 0; at + 32 <= bytes.size(); at += 32) {
      const unsigned char* e = bytes.data() + at;
      if (e[0] == 0x00) break;
      if (e[0] == 0xE5) {
        longName.clear();
        continue;
      }
      const int attributes = e[11];
      if (attributes == 0x0F) {
        // A piece of a long name: 13 UTF-16 characters, the last piece first.
        static const int at16[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
        std::u16string piece;
        for (int k : at16) {
          const char16_t c = static_cast<char16_t>(e[k] | e[k + 1] << 8);
          if (c == 0 || c == 0xFFFF) break;
          piece += c;
        }
        if (e[0] & 0x40) longName.clear();
        longName = piece + longName;
        continue;
      }
      if (attributes & 0x08) {  // the volume label
        longName.clear();
        continue;
      }
      unsigned char name[8];
      std::memcpy(name, e, 8);
      if (name[0] == 0x05) name[0] = 0xE5;
      const std::string shortName = joinName(name, 8, e + 8, 3);
      if (shortName == "." || shortName == "..") {
        longName.clear();
        continue;
      }
      FileEntry f;
      if (!longName.empty()) {
        std::string utf8;
        for (std::size_t i = 0; i < longName.size(); ++i) {
          std::uint32_t c = longName[i];
          if (c >= 0xD800 && c < 0xDC00 && i + 1 < longName.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (longName[++i] - 0xDC00);
          }
          d88::appendUtf8(utf8, c);
        }
        f.name = utf8;
        f.longName = true;
      } else {
        f.name = shortName;
      }
      longName.clear();
      f.path = prefix.empty() ? f.name : prefix + "/" + f.name;
      f.parts = parts;
      f.parts.push_back(f.name);
      f.utf8Parts = utf8Parts;
      f.utf8Parts.push_back(f.longName);
      f.directory = (attributes & 0x10) != 0;
      f.kind = f.directory ? "directory" : "file";
      if (attributes & 0x01) f.flags.push_back("read-only");
      if (attributes & 0x02) f.flags.push_back("hidden");
      if (attributes & 0x04) f.flags.push_back("system");
      if (attributes & 0x20) f.flags.push_back("archive");
      const int time = e[0x16] | e[0x17] << 8, date = e[0x18] | e[0x19] << 8;
      if (date != 0) {
        f.hasDate = true;
        f.year = 1980 + (date >> 9);
        f.month = date >> 5 & 0x0F;
        f.day = date & 0x1F;
        f.hour = time >> 11;
        f.minute = time >> 5 & 0x3F;
        f.second = (time & 0x1F) * 2;
      }
      const int first = e[0x1A] | e[0x1B] << 8;
      const std::int64_t size = static_cast<std::int64_t>(e[0x1C]) | static_cast<std::int64_t>(e[0x1D]) << 8 |
                                static_cast<std::int64_t>(e[0x1E]) << 16 | static_cast<std::int64_t>(e[0x1F]) << 24;
      const int index = static_cast<int>(out.files.size());
      std::vector<int> clusters;
      if (first >= 2) {
        walkChain(
            first, clusterCount(), [this](int c) { return link(c); }, f.path, index, owner, out.warnings,
            [&](int c, int) { clusters.push_back(c); });
      }
      const std::int64_t bytesPerCluster = static_cast<std::int64_t>(g_.sectorsPerCluster) * g_.bytesPerSector;
      const std::int64_t held = static_cast<std::int64_t>(clusters.size()) * bytesPerCluster;
      if (f.directory) {
        out.files.push_back(f);
        // A directory met before (or one that contains itself) is not
        // listed again.
        if (first < 2 || !directories.insert(first).second || depth > 32) {
          if (first >= 2) out.warnings.push_back({FsCode::DIRECTORY_LOOP, f.path, first, 0});
          continue;
        }
        std::vector<int> dirSectors;
        for (int c : clusters) {
          for (int k = 0; k < g_.sectorsPerCluster; ++k) dirSectors.push_back(firstSector(c) + k);
        }
        list(dirSectors, f.path, f.parts, f.utf8Parts, out, owner, directories, depth + 1);
        continue;
      }
      // The size the directory keeps; all the chain's bytes when it keeps
      // more than that.
      f.size = size;
      if (size > held) {
        out.warnings.push_back({FsCode::SIZE_PAST_CHAIN, f.path, size, held});
        f.size = held;
      }
      std::int64_t left = f.size;
      for (int c : clusters) {
        for (int k = 0; k < g_.sectorsPerCluster && left > 0; ++k) {
          const int take = static_cast<int>(std::min<std::int64_t>(left, g_.bytesPerSector));
          f.sectors.push_back(ref(firstSector(c) + k, take));
          left -= take;
        }
      }
      out.files.push_back(f);
    }
  }

  std::vector<int> rootSectorList() const {
    std::vector<int> out;
    for (int i = 0; i < rootSectors(); ++i) out.push_back(rootStart() + i);
    return out;
  }

 private:
  const DiskSectors& disk_;
  Geometry g_;
  bool evenSlots_ = false;
  std::vector<unsigned char> fat_;
};

bool validBpb(const Geometry& g) {
  return (g.bytesPerSector == 128 || g.bytesPerSector == 256 || g.bytesPerSector == 512 || g.bytesPerSector == 1024) &&
         powerOfTwo(g.sectorsPerCluster) && g.sectorsPerCluster <= 64 && g.reserved >= 1 && g.reserved < 64 &&
         g.fats >= 1 && g.fats <= 2 && g.rootEntries > 0 && g.rootEntries <= 1024 && g.totalSectors > 0 &&
         g.media >= 0xF0 && g.sectorsPerFat >= 1 && g.sectorsPerFat <= 16 && g.sectorsPerTrack >= 1 &&
         g.sectorsPerTrack <= 64 && (g.heads == 1 || g.heads == 2);
}

}  // namespace

bool listFat12(d88::D88Image&, const DiskSectors& disk, Listing& out, std::string& whyNot) {
  // The boot sector: R 1 of slot 0, whatever its size.
  const int bootSize = disk.at(0, 1).size;
  std::vector<unsigned char> boot;
  if (!disk.readPadded(0, 1, boot, std::max(bootSize, 32))) {
    whyNot = "no FAT boot sector (track 0 has no sector R 1)";
    return false;
  }
  auto le16 = [&](int at) { return boot[static_cast<std::size_t>(at)] | boot[static_cast<std::size_t>(at + 1)] << 8; };
  Geometry g;
  g.bytesPerSector = le16(0x0B);
  g.sectorsPerCluster = boot[0x0D];
  g.reserved = le16(0x0E);
  g.fats = boot[0x10];
  g.rootEntries = le16(0x11);
  g.totalSectors = le16(0x13);
  g.media = boot[0x15];
  g.sectorsPerFat = le16(0x16);
  g.sectorsPerTrack = le16(0x18);
  g.heads = le16(0x1A);
  if (g.totalSectors == 0 && boot.size() >= 0x24) {
    g.totalSectors = static_cast<int>(std::min<std::uint32_t>(d88::readLe32(boot.data() + 0x20), 1u << 20));
  }
  char why[160];
  if (validBpb(g) && g.bytesPerSector == bootSize) {
    std::snprintf(why, sizeof why, "BPB: %d-byte sectors, %d per track, %d side%s, %d per cluster, media 0x%02X",
                  g.bytesPerSector, g.sectorsPerTrack, g.heads, g.heads == 1 ? "" : "s", g.sectorsPerCluster, g.media);
  } else {
    // No BPB: the media byte, the FAT's first byte (R 2 of slot 0, after
    // one reserved sector), with FF FF after it, names a standard layout.
    std::vector<unsigned char> fat;
    const int size = disk.at(0, 2).size;
    if (!disk.readPadded(0, 2, fat, std::max(size, 3)) || fat[1] != 0xFF || fat[2] != 0xFF) {
      whyNot = "no FAT (no BPB in the boot sector, and no media byte with FF FF at the start of sector 2)";
      return false;
    }
    const Standard* found = nullptr;
    for (const Standard& s : STANDARDS) {
      if (s.media == fat[0] && s.bytes == size && (s.heads == 2 || !disk.hasTrack(1) || s.media != 0xFE)) {
        found = &s;
        break;
      }
    }
    if (found == nullptr) {
      char reason[96];
      std::snprintf(reason, sizeof reason, "no FAT (media byte 0x%02X with %d-byte sectors is no standard layout)",
                    fat[0], size);
      whyNot = reason;
      return false;
    }
    g = {found->bytes,
         found->spc,
         1,
         2,
         found->root,
         found->spt * found->heads * found->cylinders,
         found->media,
         found->fatSectors,
         found->spt,
         found->heads};
    std::snprintf(why, sizeof why, "no BPB; media byte 0x%02X: %s", found->media, found->what);
  }
  Fat12 fat(disk, g);
  if (fat.clusterCount() > 4086) {
    whyNot = "no FAT12 (more clusters than FAT12 holds)";
    return false;
  }
  out.kind = FsKind::FAT12;
  out.why = why;
  fat.loadFats(out);
  Claims owner(fat.clusterCount());
  std::set<int> directories;
  fat.list(fat.rootSectorList(), "", {}, {}, out, owner, directories, 0);
  return true;
}

}  // namespace d88fs
