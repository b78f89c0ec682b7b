#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

#include "fs/internal.h"

namespace d88fs {

DiskSectors::DiskSectors(d88::D88Image& reader) : reader_(reader), media_(reader.mediaType()) {}

void DiskSectors::load(int t) const {
  if (loaded_[t]) return;
  loaded_[t] = true;
  const std::int64_t start = reader_.trackOffset(t);
  if (start < 0) return;
  // Tracks that start at the same place hold the same sectors: walked once.
  const auto same = walked_.find(start);
  if (same != walked_.end()) {
    tracks_[t] = tracks_[same->second];
    counts_[t] = counts_[same->second];
    sizes_[t] = sizes_[same->second];
    return;
  }
  walked_[start] = t;
  std::map<int, int> sizes;
  reader_.walkTrack(t, d88::TrackWalk::LOOKUP, INT_MAX, [&](const d88::SectorRecord& rec, int index) {
    if (rec.r < 1) return false;
    if (tracks_[t].size() < static_cast<std::size_t>(rec.r)) tracks_[t].resize(static_cast<std::size_t>(rec.r));
    Sector& s = tracks_[t][static_cast<std::size_t>(rec.r - 1)];
    if (s.record == 0) {
      s = {index + 1, rec.position, rec.dataSize, rec.dataAvailable, rec.n};
      ++counts_[t];
      ++sizes[rec.dataSize];
    }
    return false;
  });
  int best = 0;
  for (const auto& [size, count] : sizes) {
    if (best == 0 || count > sizes[best]) best = size;
  }
  sizes_[t] = best;
}

const DiskSectors::Sector& DiskSectors::at(int track, int r) const {
  static const Sector none;
  if (track < 0 || track >= d88::TRACK_COUNT || r < 1) return none;
  load(track);
  if (static_cast<std::size_t>(r) > tracks_[track].size()) return none;
  return tracks_[track][static_cast<std::size_t>(r - 1)];
}

int DiskSectors::read(int track, int r, unsigned char* out, int length) const {
  const Sector& s = at(track, r);
  if (s.record == 0 || length <= 0) return 0;
  return reader_.readBytes(s.position + d88::SECTOR_RECORD_SIZE, out, std::min(length, s.available));
}

bool DiskSectors::readPadded(int track, int r, std::vector<unsigned char>& out, int length) const {
  out.assign(static_cast<std::size_t>(std::max(length, 0)), 0);
  if (at(track, r).record == 0) return false;
  read(track, r, out.data(), length);
  return true;
}

int DiskSectors::sectorSize(int track) const {
  if (track < 0 || track >= d88::TRACK_COUNT) return 0;
  load(track);
  return sizes_[track];
}

int DiskSectors::sectorCount(int track) const {
  if (track < 0 || track >= d88::TRACK_COUNT) return 0;
  load(track);
  return counts_[track];
}

bool walkChain(int first, int clusters, const std::function<Link(int)>& link, const std::string& path, int fileIndex,
               Claims& claims, std::vector<FsWarning>& warnings, const std::function<void(int, int)>& visit) {
  std::vector<int>& owner = claims.owner;
  std::vector<bool> seen(static_cast<std::size_t>(std::max(clusters, 0)), false);
  bool crossNoted = false;
  int cluster = first;
  for (int steps = 0; steps <= clusters; ++steps) {
    if (cluster < 0 || cluster >= clusters) {
      warnings.push_back({FsCode::CHAIN_OUT_OF_RANGE, path, cluster, 0});
      return false;
    }
    if (seen[static_cast<std::size_t>(cluster)]) {
      warnings.push_back({FsCode::CHAIN_LOOP, path, cluster, 0});
      return false;
    }
    seen[static_cast<std::size_t>(cluster)] = true;
    int& claimed = owner[static_cast<std::size_t>(cluster)];
    if (claimed >= 0 && claimed != fileIndex && !crossNoted) {
      warnings.push_back({FsCode::CROSS_LINKED, path, cluster, claimed});
      crossNoted = true;
    }
    if (claims.budget-- <= 0) {
      // Shared so often that reading more would outgrow the disk.
      if (!crossNoted) warnings.push_back({FsCode::CROSS_LINKED, path, cluster, claimed});
      return false;
    }
    if (claimed < 0) claimed = fileIndex;
    const Link l = link(cluster);
    switch (l.kind) {
      case Link::FREE: warnings.push_back({FsCode::CHAIN_FREE, path, cluster, 0}); return false;
      case Link::RESERVED: warnings.push_back({FsCode::CHAIN_RESERVED, path, cluster, 0}); return false;
      case Link::OUT_OF_RANGE: warnings.push_back({FsCode::CHAIN_OUT_OF_RANGE, path, cluster, 0}); return false;
      case Link::LAST: visit(cluster, l.lastSectors); return true;
      case Link::NEXT:
        visit(cluster, 0);
        cluster = l.next;
        break;
    }
  }
  warnings.push_back({FsCode::CHAIN_LOOP, path, cluster, 0});
  return false;
}

std::string joinName(const unsigned char* name, int nameLength, const unsigned char* ext, int extLength) {
  auto trimmed = [](const unsigned char* p, int n) {
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == 0)) --n;
    return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
  };
  const std::string base = trimmed(name, nameLength);
  const std::string extension = ext != nullptr ? trimmed(ext, extLength) : std::string();
  return extension.empty() ? base : base + "." + extension;
}

}  // namespace d88fs
