#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tool/recipe.h"

namespace {

constexpr int PIECE = 128 << SYSTEM_SIZE_CODE;
// Where a byte of the work buffer came from in this walk: the sector the
// step that wrote it read, nothing yet, or (0 and up) the failure that left
// it stale.
constexpr int FROM_SECTOR = -1;
constexpr int NEVER_READ = -2;

struct Failure {
  SectorPlace place;
  bool missing;
};

bool samePlace(const SectorPlace& a, const SectorPlace& b) {
  return a.track == b.track && a.c == b.c && a.h == b.h && a.r == b.r;
}

void addOnce(std::vector<SectorPlace>& list, const SectorPlace& place) {
  for (const SectorPlace& s : list) {
    if (samePlace(s, place)) return;
  }
  list.push_back(place);
}

// The walk's own record of the work buffer, byte for byte, as runs of bytes
// that share a history: whether the step that last wrote them delivered
// them (FROM_SECTOR), nothing wrote them yet (NEVER_READ), or a failed run
// left them stale (the index of its failure); the sector they were read
// from; and the sector a run needed for them that the disk lacks or cuts
// short.
class Provenance {
 public:
  explicit Provenance(d88::D88Image& reader) : reader_(reader) {
    runs_.push_back({0, recipeExtent(), NEVER_READ, -1, -1});
  }

  // A run of `length` bytes from `step`'s sector into the buffer at `offset`
  // that delivered `got`: the run's sectors for the bytes it delivered, and
  // for the rest, the sector where it stopped.
  void run(const RecipeStep& step, int offset, int length, int got) {
    int track = step.track, c = step.c, h = step.h, r = step.r;
    for (int at = 0; at < length; at += PIECE) {
      const int end = std::min(length, at + PIECE);
      const SectorPlace place{track, c, h, r};
      if (at < got) {
        sectors_.push_back(place);
        assign(offset + at, offset + end, FROM_SECTOR, static_cast<int>(sectors_.size() - 1), -1);
      } else {
        // The run stopped at this piece or before it. The sector is
        // missing, cut short (its bytes are copied all the same: they are
        // the sector's, the rest keeps what was there), or there but never
        // reached.
        const d88::SectorLocation found = reader_.locateSector(track, c, h, r, SYSTEM_SIZE_CODE);
        const bool missing = !found.found;
        const bool shortOne = found.found && found.dataAvailable < end - at;
        if (at == got) failures_.push_back({place, missing});
        const int failure = static_cast<int>(failures_.size() - 1);
        int delivered = 0;
        if (at == got && shortOne) {
          delivered = found.dataAvailable;
          sectors_.push_back(place);
        }
        if (missing || shortOne) unreadable_.push_back({place, missing});
        const int unreadable = missing || shortOne ? static_cast<int>(unreadable_.size() - 1) : -1;
        if (delivered > 0) {
          assign(offset + at, offset + at + delivered, failure, static_cast<int>(sectors_.size() - 1), unreadable);
        }
        assignStale(offset + at + delivered, offset + end, failure, unreadable);
      }
      reader_.nextSector(track, c, h, r);
    }
  }

  void copy(int source, int target, int length) {
    std::vector<Run> moved;
    for (const Run& run : runs_) {
      const int from = std::max(run.start, source), to = std::min(run.end, source + length);
      if (from < to)
        moved.push_back({from - source + target, to - source + target, run.origin, run.sector, run.unreadable});
    }
    for (const Run& run : moved) assign(run.start, run.end, run.origin, run.sector, run.unreadable);
  }

  // How the `length` bytes at `offset` fare as file `name`.
  FileCheck judge(const char* name, int offset, int length, bool cut) const {
    FileCheck check{name, length, cut, true, -1, 0, 0, 0, false, {}, {}, {}, {}};
    for (const Run& run : runs_) {
      const int from = std::max(run.start, offset), to = std::min(run.end, offset + length);
      if (from >= to) continue;
      // Bytes of the sector the recipe names, whole or as far as it holds.
      const bool own = run.origin == FROM_SECTOR || (run.origin >= 0 && run.sector >= 0 &&
                                                     samePlace(sectors_[static_cast<std::size_t>(run.sector)],
                                                               failures_[static_cast<std::size_t>(run.origin)].place));
      if (run.sector >= 0 && own) addOnce(check.sectors, sectors_[static_cast<std::size_t>(run.sector)]);
      if (run.unreadable >= 0) {
        const Failure& f = unreadable_[static_cast<std::size_t>(run.unreadable)];
        bool seen = false;
        for (const SectorPlace& s : check.failed) seen = seen || samePlace(s, f.place);
        if (!seen) {
          check.failed.push_back(f.place);
          check.failedMissing.push_back(f.missing);
        }
      }
      if (run.origin == FROM_SECTOR) continue;
      if (check.whole) {
        check.whole = false;
        if (run.origin >= 0) {
          const Failure& f = failures_[static_cast<std::size_t>(run.origin)];
          check.track = f.place.track;
          check.c = f.place.c;
          check.h = f.place.h;
          check.r = f.place.r;
          check.missing = f.missing;
        }
      }
      if (own) continue;
      const SectorPlace stale =
          run.sector >= 0 ? sectors_[static_cast<std::size_t>(run.sector)] : SectorPlace{-1, 0, 0, 0};
      Leftover* last = check.leftovers.empty() ? nullptr : &check.leftovers.back();
      if (last != nullptr && last->to == from - offset && samePlace(last->sector, stale)) {
        last->to = to - offset;
      } else {
        check.leftovers.push_back({from - offset, to - offset, stale});
      }
    }
    return check;
  }

 private:
  struct Run {
    int start, end;  // bytes of the buffer
    int origin;      // FROM_SECTOR, NEVER_READ or a failure
    int sector;      // the sector they were read from, -1 for none
    int unreadable;  // the sector a run needed for them and could not read, -1 for none
  };

  // Gives bytes from..to - 1 one history; the runs stay in buffer order.
  void assign(int from, int to, int origin, int sector, int unreadable) {
    if (from >= to) return;
    std::vector<Run> out;
    out.reserve(runs_.size() + 2);
    bool placed = false;
    for (const Run& run : runs_) {
      if (run.end <= from || run.start >= to) {
        if (!placed && run.start >= to) {
          out.push_back({from, to, origin, sector, unreadable});
          placed = true;
        }
        out.push_back(run);
        continue;
      }
      if (run.start < from) out.push_back({run.start, from, run.origin, run.sector, run.unreadable});
      if (!placed) {
        out.push_back({from, to, origin, sector, unreadable});
        placed = true;
      }
      if (run.end > to) out.push_back({to, run.end, run.origin, run.sector, run.unreadable});
    }
    if (!placed) out.push_back({from, to, origin, sector, unreadable});
    runs_.swap(out);
  }

  // Bytes a failed run did not deliver: they keep the sector they came from
  // (they are stale now) and take the failure.
  void assignStale(int from, int to, int failure, int unreadable) {
    std::vector<Run> kept;
    for (const Run& run : runs_) {
      const int a = std::max(run.start, from), b = std::min(run.end, to);
      if (a < b) kept.push_back({a, b, failure, run.sector, unreadable});
    }
    for (const Run& run : kept) assign(run.start, run.end, run.origin, run.sector, run.unreadable);
  }

  d88::D88Image& reader_;
  std::vector<Run> runs_;
  std::vector<SectorPlace> sectors_;
  std::vector<Failure> failures_;
  std::vector<Failure> unreadable_;
};

class Collect : public RecipeObserver {
 public:
  void file(int, const FileCheck& check, const unsigned char*) override { checks.push_back(check); }
  std::vector<FileCheck> checks;
};

}  // namespace

void runRecipe(d88::D88Image& reader, unsigned char* buffer, int size, RecipeObserver& observer) {
  // Every step stays inside the buffer and inside what the walk keeps track
  // of.
  const int extent = std::min(size, recipeExtent());
  const auto fits = [extent](int offset, int length) {
    return offset >= 0 && length >= 0 && offset <= extent - length;
  };
  Provenance provenance(reader);
  int file = 0;
  for (const RecipeStep& step : systemDiskRecipe) {
    switch (step.kind) {
      case RecipeStep::SET_RANGE: reader.setSectorRange(step.first, step.last); break;
      case RecipeStep::RUN: {
        if (!fits(step.skip, step.length)) break;
        const int length = step.skip + step.length;
        const int got = reader.readSectors(step.track, step.c, step.h, step.r, SYSTEM_SIZE_CODE, buffer, length);
        provenance.run(step, 0, length, got);
        // A run that delivers nothing writes no file.
        const FileCheck check = provenance.judge(step.name, step.skip, step.length, got > 0);
        observer.file(file++, check, got > 0 ? buffer + step.skip : nullptr);
        break;
      }
      case RecipeStep::READ: {
        if (!fits(step.offset, step.length)) break;
        const int got =
            reader.readSectors(step.track, step.c, step.h, step.r, SYSTEM_SIZE_CODE, buffer + step.offset, step.length);
        provenance.run(step, step.offset, step.length, got);
        break;
      }
      case RecipeStep::COPY:
        if (!fits(step.offset, step.length) || !fits(step.source, step.length)) break;
        std::memmove(buffer + step.offset, buffer + step.source, static_cast<std::size_t>(step.length));
        provenance.copy(step.source, step.offset, step.length);
        break;
      case RecipeStep::WRITE:
        if (!fits(step.offset, step.length)) break;
        observer.file(file++, provenance.judge(step.name, step.offset, step.length, true), buffer + step.offset);
        break;
    }
  }
}

std::vector<FileCheck> checkSystemDisk(d88::D88Image& reader) {
  std::vector<unsigned char> scratch(static_cast<std::size_t>(recipeExtent()));
  Collect collect;
  runRecipe(reader, scratch.data(), static_cast<int>(scratch.size()), collect);
  return collect.checks;
}

std::string describeFileCheck(const FileCheck& check) {
  if (check.whole) return "whole";
  std::string text = check.cut ? "incomplete: " : "not cut: ";
  if (check.track < 0) return text + "bytes that are never read";
  char sector[96];
  std::snprintf(sector, sizeof sector, "track %d (C %d H %d R %d) %s", check.track, check.c, check.h, check.r,
                check.missing ? "is missing" : "is short");
  return text + sector;
}
