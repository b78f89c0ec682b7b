// What the file systems share: the disk's sectors by table slot and R, and
// the walk along a cluster chain that never goes round.
#ifndef FS_INTERNAL_H
#define FS_INTERNAL_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fs/filesystem.h"

namespace d88fs {

// The sectors of the selected disk, by table slot and R: the first record
// with that R in the track's lookup walk, as the reader finds sectors.
class DiskSectors {
 public:
  explicit DiskSectors(d88::D88Image& reader);

  struct Sector {
    int record = 0;  // 1-based; 0: none
    std::int64_t position = -1;
    int size = 0;       // data-size field
    int available = 0;  // data bytes the file holds
    int n = 0;
  };
  // The sector R `r` of slot `track`; record 0 when there is none.
  const Sector& at(int track, int r) const;
  // Reads up to `length` bytes of sector (track, r) into `out`; the bytes
  // read (0 for a missing sector).
  int read(int track, int r, unsigned char* out, int length) const;
  // A whole sector's bytes, padded with zeros to `length`; false when the
  // sector is missing.
  bool readPadded(int track, int r, std::vector<unsigned char>& out, int length) const;
  bool hasTrack(int track) const {
    if (track < 0 || track >= d88::TRACK_COUNT) return false;
    load(track);
    return !tracks_[track].empty();
  }
  // The size of most sectors of slot `track` (0 when it has none).
  int sectorSize(int track) const;
  // How many sectors slot `track` holds.
  int sectorCount(int track) const;
  int media() const { return media_; }

 private:
  // Walks slot `track` the first time it is asked for: a disk of no file
  // system costs the few tracks the detections look at.
  void load(int track) const;

  d88::D88Image& reader_;
  int media_;
  mutable std::vector<Sector> tracks_[d88::TRACK_COUNT];  // by R - 1 (up to 255)
  mutable int counts_[d88::TRACK_COUNT] = {};
  mutable int sizes_[d88::TRACK_COUNT] = {};
  mutable bool loaded_[d88::TRACK_COUNT] = {};
  mutable std::map<std::int64_t, int> walked_;  // a track's start -> the slot walked from there
};

// How a chain's table says a cluster goes on.
struct Link {
  enum Kind { NEXT, LAST, FREE, RESERVED, OUT_OF_RANGE } kind;
  int next = 0;         // NEXT: the next cluster
  int lastSectors = 0;  // LAST: sectors of it in use (0: all)
};

// Which file claimed each cluster first (-1 for none), and how many more
// cluster visits all the chains of a disk may make: a chain of its own
// costs at most the clusters, so only clusters shared again and again can
// spend it, and the listing stays bounded by the disk.
struct Claims {
  explicit Claims(int clusters)
      : owner(static_cast<std::size_t>(clusters), -1), budget(4 * std::int64_t{clusters} + 64) {}
  std::vector<int> owner;
  std::int64_t budget;
};

// Walks the chain from `first`, calling visit(cluster, lastSectors) for each
// cluster once, in order; stops at the last cluster, at damage (noted in
// `warnings` for `path`), at a cluster met before in this chain, and at
// `clusters` steps. A cluster another file claimed first is read all the
// same and noted once, while the claims' budget lasts. Returns whether the
// chain ended properly.
bool walkChain(int first, int clusters, const std::function<Link(int)>& link, const std::string& path, int fileIndex,
               Claims& claims, std::vector<FsWarning>& warnings, const std::function<void(int, int)>& visit);

// A BASIC's name and extension, space-padded, as NAME.EXT (no dot when the
// extension is empty).
std::string joinName(const unsigned char* name, int nameLength, const unsigned char* ext, int extLength);

// The file systems, each detected from the disk's own structures: true and
// the listing when found, false and why not.
bool listFat12(d88::D88Image& reader, const DiskSectors& disk, Listing& out, std::string& whyNot);
bool listN88Basic(d88::D88Image& reader, const DiskSectors& disk, Listing& out, std::string& whyNot);
bool listHuBasic(d88::D88Image& reader, const DiskSectors& disk, Listing& out, std::string& whyNot);
bool listFBasic(d88::D88Image& reader, const DiskSectors& disk, Listing& out, std::string& whyNot);

}  // namespace d88fs

#endif  // FS_INTERNAL_H
