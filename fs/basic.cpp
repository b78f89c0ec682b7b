// The file systems of the machines' disk BASICs. What each keeps, as this
// code reads it (256-byte sectors, a cluster table of one byte a cluster):
//
// N88-BASIC   system track: 2D slot 37 (C 18 H 1), 2DD slot 80, 2HD slot 70,
//             1D slot 18 (or 36 where the tracks stand on even slots)
//             R 1-12 directory (R 1-22 on 2HD), 13 ID (23), 14-16 three
//             copies of the table (24-26)
//             cluster: 8 sectors on 2D and 1D (slot c / 2, R (c % 2) * 8 + 1),
//             a whole track on 2DD (16) and 2HD (26)
//             table: FF free, FE reserved, C1-C0+n last with n sectors used,
//             else the next cluster
//             entry, 16 bytes: name 6, ext 3, attributes, first cluster;
//             name byte FF unused (the end), 00 deleted
//             attributes: 01 machine language, 80 ASCII (else tokenised
//             BASIC), 10 write-protect, 20 verify, 40 encrypted
//             no byte count: a file holds what its sectors hold
// Hu-BASIC    2D: table at slot 0 R 15 (logical sector 14), directory at
//             slot 1 (logical sectors 16-31); cluster: a track (16 sectors)
//             table: 00 free, 80-8F last (low nibble: the last sector used),
//             else the next cluster; clusters 0 and 1 reserved (01, 8F)
//             entry, 32 bytes: attributes, name 13, ext 3, password, size
//             (2), load (2), run (2), date (6, BCD: year, month << 4, day,
//             hour, minute, second), first cluster (2); attribute 00
//             deleted, FF the end; 01 machine, 02 BASIC, 04 ASCII, 10
//             hidden, 20 read-only, 80 directory
// F-BASIC     2D: table at slot 2 (C 1 H 0) R 1 from byte 5; directory at
//             slot 2 R 4-16 and slot 3; cluster: 8 sectors from slot 4
//             (slot 4 + c / 2, R (c % 2) * 8 + 1)
//             table: FF free, FE reserved, C0-C7 last (low bits + 1 sectors
//             used), else the next cluster
//             entry, 32 bytes: name 8, 3 reserved, type (0 BASIC, 1 data,
//             2 machine), ASCII flag (FF), random-access flag (FF), first
//             cluster; name byte FF unused, 00 deleted
//             no byte count: a file holds what its sectors hold
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <set>

#include "fs/internal.h"

namespace d88fs {
namespace {

constexpr int SECTOR = 256;

// Where a BASIC keeps its clusters: cluster c is `perCluster` sectors of
// slot firstSlot + (c / perSlot) * step, from R (c % perSlot) * perCluster
// + 1 (step 2 where a single-sided disk's tracks stand on even slots).
struct Clusters {
  int count;
  int firstSlot;
  int perSlot;
  int perCluster;
  int step = 1;
  int slot(int c) const { return firstSlot + c / perSlot * step; }
  int firstR(int c) const { return c % perSlot * perCluster + 1; }
};

// Reads `count` sectors from R `first` of `slot`, one after another.
std::vector<unsigned char> readRun(const DiskSectors& disk, int slot, int first, int count, bool& missing) {
  std::vector<unsigned char> out, sector;
  missing = false;
  for (int r = first; r < first + count; ++r) {
    missing = !disk.readPadded(slot, r, sector, SECTOR) || missing;
    out.insert(out.end(), sector.begin(), sector.end());
  }
  return out;
}

// The sectors of a chain of clusters, with how many sectors of the last
// one are used (0: all), as far as `size` bytes (or all when -1).
std::vector<SectorRef> sectorsOf(const DiskSectors& disk, const Clusters& layout, const std::vector<int>& chain,
                                 int lastSectors, std::int64_t size) {
  std::vector<SectorRef> out;
  std::int64_t left = size < 0 ? std::numeric_limits<std::int64_t>::max() : size;
  for (std::size_t i = 0; i < chain.size() && left > 0; ++i) {
    const int c = chain[i];
    const int n =
        i + 1 == chain.size() && lastSectors > 0 ? std::min(lastSectors, layout.perCluster) : layout.perCluster;
    for (int k = 0; k < n && left > 0; ++k) {
      const int slot = layout.slot(c), r = layout.firstR(c) + k;
      const int take = static_cast<int>(std::min<std::int64_t>(left, SECTOR));
      out.push_back({slot, r, disk.at(slot, r).record, take});
      left -= take;
    }
  }
  return out;
}

std::int64_t bytesOf(const std::vector<SectorRef>& sectors) {
  std::int64_t n = 0;
  for (const SectorRef& s : sectors) n += s.take;
  return n;
}

// A table of one byte a cluster as N88-BASIC and F-BASIC keep it: FF free,
// FE reserved, `firstLast`..`lastLast` the last cluster with value -
// `sectorsBase` of its sectors used, else the next cluster.
Link byteLink(int v, int count, int firstLast, int lastLast, int sectorsBase) {
  if (v == 0xFF) return {Link::FREE};
  if (v == 0xFE) return {Link::RESERVED};
  if (v >= firstLast && v <= lastLast) return {Link::LAST, 0, v - sectorsBase};
  if (v >= count) return {Link::OUT_OF_RANGE};
  return {Link::NEXT, v};
}

// A file's chain from `first`: its clusters and how many sectors of the
// last are used (0: all).
struct Chain {
  std::vector<int> clusters;
  int lastSectors = 0;
};

Chain followChain(int first, int count, const std::function<Link(int)>& link, const std::string& path, int index,
                  Claims& claims, std::vector<FsWarning>& warnings) {
  Chain chain;
  walkChain(first, count, link, path, index, claims, warnings, [&chain](int c, int last) {
    chain.clusters.push_back(c);
    chain.lastSectors = last;
  });
  return chain;
}

bool printableName(const unsigned char* p, int n) {
  for (int i = 0; i < n; ++i) {
    if (p[i] < 0x20 || p[i] == 0x7F) return false;
  }
  return true;
}

// ---- N88-BASIC -------------------------------------------------------

struct N88Layout {
  const char* what;
  int media;
  int slot;  // the system track
  int dirSectors, idSector, fatFirst;
  Clusters clusters;
  int spt;
};

// A table whose system-track clusters are reserved and whose other entries
// are, but for a few a damaged disk may hold, free, reserved, a last
// cluster or a cluster of the disk.
bool n88Plausible(const std::vector<unsigned char>& fat, const N88Layout& l) {
  int odd = 0;
  for (int c = 0; c < l.clusters.count; ++c) {
    const int v = fat[static_cast<std::size_t>(c)];
    if (l.clusters.slot(c) == l.slot && v != 0xFE) return false;
    if (v == 0xFF || v == 0xFE || (v >= 0xC1 && v <= 0xC0 + l.clusters.perCluster)) continue;
    if (v >= l.clusters.count) ++odd;
  }
  return odd * 16 <= l.clusters.count;
}

}  // namespace

bool listN88Basic(d88::D88Image&, const DiskSectors& disk, Listing& out, std::string& whyNot) {
  const bool evenSlots = !disk.hasTrack(1) && disk.hasTrack(2);
  const N88Layout layouts[] = {
      {"2D", 0x00, 37, 12, 13, 14, {160, 0, 2, 8}, 16},
      {"2DD", 0x10, 80, 12, 13, 14, {160, 0, 1, 16}, 16},
      {"2HD", 0x20, 70, 22, 23, 24, {154, 0, 1, 26}, 26},
      {"1D", 0x30, evenSlots ? 36 : 18, 12, 13, 14, {80, 0, 2, 8, evenSlots ? 2 : 1}, 16},
  };
  for (const N88Layout& l : layouts) {
    // Each layout only where the disk is that size.
    const int lastSlot = l.clusters.slot(l.clusters.count - 1);
    if (!disk.hasTrack(lastSlot) && !disk.hasTrack(lastSlot - 1)) continue;
    if (disk.sectorCount(l.slot) < l.spt || disk.sectorSize(l.slot) != SECTOR) continue;
    bool missing = false;
    std::vector<unsigned char> copies[3];
    for (int k = 0; k < 3; ++k) copies[k] = readRun(disk, l.slot, l.fatFirst + k, 1, missing);
    std::vector<unsigned char> fat = copies[0];
    if (!n88Plausible(fat, l)) continue;
    const Clusters& clusters = l.clusters;
    out.kind = FsKind::N88_BASIC;
    char why[160];
    std::snprintf(why, sizeof why,
                  "N88-BASIC %s: system track at slot %d, its allocation table (R %d-%d) and directory (R 1-%d) agree",
                  l.what, l.slot, l.fatFirst, l.fatFirst + 2, l.dirSectors);
    out.why = why;
    if (copies[1] != fat || copies[2] != fat) out.warnings.push_back({FsCode::COPIES_DIFFER, "", 0, 0});
    const std::vector<unsigned char> dir = readRun(disk, l.slot, 1, l.dirSectors, missing);
    if (missing) out.warnings.push_back({FsCode::SECTOR_MISSING, "", l.slot, 0});
    Claims owner(clusters.count);
    for (std::size_t at = 0; at + 16 <= dir.size(); at += 16) {
      const unsigned char* e = dir.data() + at;
      if (e[0] == 0xFF) break;
      if (e[0] == 0x00) continue;
      FileEntry f;
      f.name = joinName(e, 6, e + 6, 3);
      f.path = f.name;
      f.parts = {f.name};
      f.utf8Parts = {false};
      f.utf8Parts = {false};
      const int attributes = e[9];
      f.kind = attributes & 0x01 ? "machine" : attributes & 0x80 ? "ascii" : "basic";
      if (attributes & 0x10) f.flags.push_back("write-protect");
      if (attributes & 0x20) f.flags.push_back("verify");
      if (attributes & 0x40) f.flags.push_back("encrypted");
      const Chain chain = followChain(
          e[10], clusters.count,
          [&](int c) {
            return byteLink(fat[static_cast<std::size_t>(c)], clusters.count, 0xC1, 0xC0 + clusters.perCluster, 0xC0);
          },
          f.path, static_cast<int>(out.files.size()), owner, out.warnings);
      f.sectors = sectorsOf(disk, clusters, chain.clusters, chain.lastSectors, -1);
      f.size = bytesOf(f.sectors);
      out.files.push_back(f);
    }
    return true;
  }
  whyNot = "no N88-BASIC system track (an allocation table on track 37, 18, 70 or 80 whose own clusters are reserved)";
  return false;
}

bool listHuBasic(d88::D88Image&, const DiskSectors& disk, Listing& out, std::string& whyNot) {
  // 2D: 80 clusters; a larger disk of the same layout as far as a byte of
  // the table reaches (0x80 and up end a chain).
  const Clusters clusters{disk.hasTrack(80) ? 128 : 80, 0, 1, 16};
  bool missing = false;
  if (disk.sectorSize(0) != SECTOR || disk.sectorCount(0) < 16) {
    whyNot = "no Hu-BASIC allocation table (track 0 holds no 16 sectors of 256 bytes)";
    return false;
  }
  const std::vector<unsigned char> fat = readRun(disk, 0, 15, 1, missing);
  bool plausible = !missing && fat[0] == 0x01 && fat[1] == 0x8F;
  for (int c = 2; plausible && c < clusters.count; ++c) {
    const int v = fat[static_cast<std::size_t>(c)];
    plausible = v == 0 || (v >= 0x80 && v <= 0x8F) || v < clusters.count;
  }
  if (!plausible) {
    whyNot = "no Hu-BASIC allocation table (track 0 R 15 does not start 01 8F)";
    return false;
  }
  out.kind = FsKind::HU_BASIC;
  out.why = "Hu-BASIC: allocation table at track 0 R 15 (clusters 0 and 1 reserved), directory at track 1";
  auto link = [&](int c) -> Link {
    const int v = fat[static_cast<std::size_t>(c)];
    if (v == 0) return {Link::FREE};
    if (v >= 0x80 && v <= 0x8F) return {Link::LAST, 0, (v & 0x0F) + 1};
    if (v < 2) return {Link::RESERVED};
    if (v >= clusters.count) return {Link::OUT_OF_RANGE};
    return {Link::NEXT, v};
  };
  Claims owner(clusters.count);
  std::set<int> seenDirectories{1};
  // Directories to read: (their bytes, their path).
  struct Directory {
    std::vector<unsigned char> bytes;
    std::string path;
    std::vector<std::string> parts;
  };
  std::vector<Directory> pending;
  pending.push_back({readRun(disk, 1, 1, 16, missing), "", {}});
  if (missing) out.warnings.push_back({FsCode::SECTOR_MISSING, "", 1, 0});
  for (std::size_t d = 0; d < pending.size(); ++d) {
    const std::vector<unsigned char> dir = pending[d].bytes;
    const std::string prefix = pending[d].path;
    const std::vector<std::string> parts = pending[d].parts;
    for (std::size_t at = 0; at + 32 <= dir.size(); at += 32) {
      const unsigned char* e = dir.data() + at;
      if (e[0] == 0xFF) break;
      if (e[0] == 0x00) continue;
      FileEntry f;
      f.name = joinName(e + 1, 13, e + 14, 3);
      f.path = prefix.empty() ? f.name : prefix + "/" + f.name;
      f.parts = parts;
      f.parts.push_back(f.name);
      f.utf8Parts.assign(f.parts.size(), false);
      const int attributes = e[0];
      f.directory = (attributes & 0x80) != 0;
      f.kind = f.directory ? "directory" : attributes & 0x01 ? "machine" : attributes & 0x02 ? "basic" : "ascii";
      if (attributes & 0x10) f.flags.push_back("hidden");
      if (attributes & 0x20) f.flags.push_back("read-only");
      auto bcd = [](int v) { return (v >> 4) * 10 + (v & 0x0F); };
      if (e[24] != 0 || e[25] != 0 || e[26] != 0) {
        f.hasDate = true;
        const int yy = bcd(e[24]);
        f.year = yy >= 70 ? 1900 + yy : 2000 + yy;
        f.month = e[25] >> 4;
        f.day = bcd(e[26]);
        f.hour = bcd(e[27]);
        f.minute = bcd(e[28]);
        f.second = bcd(e[29]);
      }
      const int first = e[30] | e[31] << 8;
      const Chain chain =
          followChain(first, clusters.count, link, f.path, static_cast<int>(out.files.size()), owner, out.warnings);
      const std::vector<SectorRef> all = sectorsOf(disk, clusters, chain.clusters, chain.lastSectors, -1);
      if (f.directory) {
        out.files.push_back(f);
        if (!seenDirectories.insert(first).second) {
          out.warnings.push_back({FsCode::DIRECTORY_LOOP, f.path, first, 0});
          continue;
        }
        std::vector<unsigned char> bytes;
        for (const SectorRef& s : all) {
          std::vector<unsigned char> sector;
          disk.readPadded(s.track, s.r, sector, SECTOR);
          bytes.insert(bytes.end(), sector.begin(), sector.end());
        }
        pending.push_back({std::move(bytes), f.path, f.parts});
        continue;
      }
      // The size the directory keeps; all the sectors when it keeps 0 or
      // more than the chain holds.
      const std::int64_t size = e[18] | e[19] << 8;
      const std::int64_t held = bytesOf(all);
      if (size > held) out.warnings.push_back({FsCode::SIZE_PAST_CHAIN, f.path, size, held});
      f.sectors = size == 0 || size > held ? all : sectorsOf(disk, clusters, chain.clusters, chain.lastSectors, size);
      f.size = bytesOf(f.sectors);
      out.files.push_back(f);
    }
  }
  return true;
}

bool listFBasic(d88::D88Image&, const DiskSectors& disk, Listing& out, std::string& whyNot) {
  const Clusters clusters{152, 4, 2, 8};
  bool missing = false;
  if (disk.sectorSize(2) != SECTOR || disk.sectorCount(2) < 16) {
    whyNot = "no F-BASIC allocation table (track 2 holds no 16 sectors of 256 bytes)";
    return false;
  }
  const std::vector<unsigned char> sector = readRun(disk, 2, 1, 1, missing);
  std::vector<unsigned char> fat(sector.begin() + 5, sector.begin() + 5 + clusters.count);
  // Some clusters free (a disk of zeros is none), every other entry
  // reserved, a last cluster or a cluster of the disk.
  int free = 0;
  bool plausible = !missing;
  for (int c = 0; plausible && c < clusters.count; ++c) {
    const int v = fat[static_cast<std::size_t>(c)];
    if (v == 0xFF) ++free;
    if (v == 0xFF || v == 0xFE) continue;
    plausible = (v >= 0xC0 && v <= 0xC7) || v < clusters.count;
  }
  plausible = plausible && free > 0;
  const std::vector<unsigned char> dir = readRun(disk, 2, 4, 13, missing);
  std::vector<unsigned char> more = readRun(disk, 3, 1, 16, missing);
  std::vector<unsigned char> all = dir;
  all.insert(all.end(), more.begin(), more.end());
  // A directory whose entries look like files: printable names and first
  // clusters in the table.
  for (std::size_t at = 0; plausible && at + 32 <= all.size(); at += 32) {
    const unsigned char* e = all.data() + at;
    if (e[0] == 0xFF) break;
    if (e[0] == 0x00) continue;
    plausible = printableName(e, 8) && e[11] <= 2 && e[14] < clusters.count;
  }
  if (!plausible) {
    whyNot = "no F-BASIC allocation table (track 2 R 1 from byte 5, with its directory after it)";
    return false;
  }
  out.kind = FsKind::F_BASIC;
  out.why = "F-BASIC 2D: allocation table at track 2 R 1, directory at track 2 R 4 on";
  Claims owner(clusters.count);
  for (std::size_t at = 0; at + 32 <= all.size(); at += 32) {
    const unsigned char* e = all.data() + at;
    if (e[0] == 0xFF) break;
    if (e[0] == 0x00) continue;
    FileEntry f;
    f.name = joinName(e, 8, nullptr, 0);
    f.path = f.name;
    f.parts = {f.name};
    f.utf8Parts = {false};
    f.kind = e[12] == 0xFF ? "ascii" : e[11] == 2 ? "machine" : e[11] == 1 ? "data" : "basic";
    if (e[13] == 0xFF) f.flags.push_back("random-access");
    const Chain chain = followChain(
        e[14], clusters.count,
        [&](int c) { return byteLink(fat[static_cast<std::size_t>(c)], clusters.count, 0xC0, 0xC7, 0xBF); }, f.path,
        static_cast<int>(out.files.size()), owner, out.warnings);
    f.sectors = sectorsOf(disk, clusters, chain.clusters, chain.lastSectors, -1);
    f.size = bytesOf(f.sectors);
    out.files.push_back(f);
  }
  return true;
}

}  // namespace d88fs
