#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tool/recipe.h"

namespace {

constexpr int PIECE = 128 << SYSTEM_SIZE_CODE;
// Where each byte of the work buffer came from in this walk: the sector the
// step that wrote it read, nothing yet, or the failure that left it stale.
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

int gcd(int a, int b) { return b == 0 ? a : gcd(b, a % b); }

// The largest unit that every offset and length of the recipe, and every
// sector piece, is a multiple of (128 bytes): the buffer's history is kept
// per unit, not per byte.
int recipeUnit() {
  static const int unit = [] {
    int g = PIECE;
    for (const RecipeStep& step : systemDiskRecipe) {
      for (int v : {step.offset, step.skip, step.length, step.source}) g = gcd(g, v);
    }
    return g;
  }();
  return unit;
}

// The walk's own record of the buffer: for each unit, whether the step that
// last wrote it delivered it, and which sector it was read from. Kept per
// unit of the buffer; the positions below are bytes.
class Provenance {
 public:
  explicit Provenance(d88::D88Image& reader) : reader_(reader), unit_(recipeUnit()) {
    const std::size_t units = static_cast<std::size_t>(recipeExtent() / unit_);
    origin_.assign(units, NEVER_READ);
    source_.assign(units, -1);
  }

  // A run of `length` bytes from `step`'s sector into the buffer at `offset`
  // that delivered `got`: the run's sectors for the bytes it delivered, and
  // the sector where it stopped for the rest.
  void run(const RecipeStep& step, int offset, int length, int got) {
    int track = step.track, c = step.c, h = step.h, r = step.r;
    for (int at = 0; at < length; at += PIECE) {
      const int end = std::min(length, at + PIECE);
      const SectorPlace place{track, c, h, r};
      if (at < got) {
        sectors_.push_back(place);
        fill(origin_, offset + at, offset + end, FROM_SECTOR);
        fill(source_, offset + at, offset + end, static_cast<int>(sectors_.size() - 1));
      } else {
        // The run stopped at this piece or before it: the bytes keep what
        // was there, and the sector is missing, cut short, or there but
        // never reached.
        const d88::SectorLocation found = reader_.locateSector(track, c, h, r, SYSTEM_SIZE_CODE);
        const bool missing = !found.found;
        const bool shortOne = found.found && found.dataAvailable < end - at;
        if (at == got) failures_.push_back({place, missing});
        fill(origin_, offset + at, offset + end, static_cast<int>(failures_.size() - 1));
        if (missing || shortOne) {
          unreadable_.push_back({place, missing});
          unreadableAt_.push_back(offset + at);
          unreadableEnd_.push_back(offset + end);
        }
      }
      reader_.nextSector(track, c, h, r);
    }
  }

  void copy(int source, int target, int length) {
    std::copy(origin_.begin() + source / unit_, origin_.begin() + (source + length) / unit_,
              origin_.begin() + target / unit_);
    std::copy(source_.begin() + source / unit_, source_.begin() + (source + length) / unit_,
              source_.begin() + target / unit_);
    // A failed sector whose bytes are copied is failed where they land too.
    const std::size_t n = unreadable_.size();
    for (std::size_t i = 0; i < n; ++i) {
      const int from = std::max(unreadableAt_[i], source), to = std::min(unreadableEnd_[i], source + length);
      if (from >= to) continue;
      unreadable_.push_back(unreadable_[i]);
      unreadableAt_.push_back(target + from - source);
      unreadableEnd_.push_back(target + to - source);
    }
  }

  // How the `length` bytes at `offset` fare as file `name`.
  FileCheck judge(const char* name, int offset, int length, bool cut) const {
    FileCheck check{name, length, cut, true, -1, 0, 0, 0, false, {}, {}, {}, {}};
    int lastFrom = -1;  // units come in runs from one sector: look each run up once
    for (int i = offset; i < offset + length; i += unit_) {
      const int from = source_[static_cast<std::size_t>(i / unit_)];
      const int how = origin_[static_cast<std::size_t>(i / unit_)];
      if (how == FROM_SECTOR) {
        if (from != lastFrom) addOnce(check.sectors, sectors_[static_cast<std::size_t>(from)]);
        lastFrom = from;
        continue;
      }
      lastFrom = -1;
      if (check.whole) {
        check.whole = false;
        if (how >= 0) {
          const Failure& f = failures_[static_cast<std::size_t>(how)];
          check.track = f.place.track;
          check.c = f.place.c;
          check.h = f.place.h;
          check.r = f.place.r;
          check.missing = f.missing;
        }
      }
      const SectorPlace stale = from >= 0 ? sectors_[static_cast<std::size_t>(from)] : SectorPlace{-1, 0, 0, 0};
      Leftover* last = check.leftovers.empty() ? nullptr : &check.leftovers.back();
      if (last != nullptr && last->to == i - offset && samePlace(last->sector, stale)) {
        last->to += unit_;
      } else {
        check.leftovers.push_back({i - offset, i - offset + unit_, stale});
      }
    }
    // The unreadable sectors the file's bytes were to come from, in the
    // file's byte order.
    std::vector<std::pair<int, std::size_t>> order;
    for (std::size_t k = 0; k < unreadable_.size(); ++k) {
      const int from = std::max(unreadableAt_[k], offset), to = std::min(unreadableEnd_[k], offset + length);
      if (from < to) order.emplace_back(from, k);
    }
    std::stable_sort(order.begin(), order.end());
    for (const auto& [at, k] : order) {
      (void)at;
      bool seen = false;
      for (const SectorPlace& s : check.failed) seen = seen || samePlace(s, unreadable_[k].place);
      if (seen) continue;
      check.failed.push_back(unreadable_[k].place);
      check.failedMissing.push_back(unreadable_[k].missing);
    }
    return check;
  }

 private:
  void fill(std::vector<int>& what, int from, int to, int value) {
    std::fill(what.begin() + from / unit_, what.begin() + to / unit_, value);
  }

  d88::D88Image& reader_;
  const int unit_;
  std::vector<int> origin_;
  std::vector<int> source_;
  std::vector<SectorPlace> sectors_;
  std::vector<Failure> failures_;
  // Sectors a run needed that the disk lacks or cuts short, and the buffer
  // bytes each was to fill.
  std::vector<Failure> unreadable_;
  std::vector<int> unreadableAt_, unreadableEnd_;
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
