#include "fuzz_checks.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>
#include <vector>

#include "d88/d88_image.h"

namespace d88fuzz {
namespace {

constexpr std::size_t GUARD = 64;
constexpr std::uint8_t GUARD_BYTE = 0xA5;
constexpr int MAX_BUFFER = 1 << 17;
constexpr int MAX_OPERATIONS = 48;

// Parameters come from the end of the input, so that the image itself (the
// front) and the calls on it mutate fairly independently.
class Params {
 public:
  Params(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
  std::uint32_t next32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
    return v;
  }
  std::uint8_t byte() { return left_ > 0 ? data_[--left_] : 0; }
  // In [lo, hi], both small enough that the arithmetic stays in range.
  int range(int lo, int hi) {
    const std::uint32_t span = static_cast<std::uint32_t>(static_cast<std::int64_t>(hi) - lo + 1);
    return static_cast<int>(lo + static_cast<std::int64_t>(next32() % span));
  }
  // Mostly plausible values, sometimes extreme ones.
  int value(int lo, int hi) {
    switch (byte() % 8) {
      case 0: return INT_MIN;
      case 1: return INT_MAX;
      case 2: return -1;
      case 3: return static_cast<int>(next32());
      default: return range(lo, hi);
    }
  }
  int length() {
    switch (byte() % 8) {
      case 0: return INT_MIN;
      case 1: return -range(1, 4096);
      case 2: return 0;
      case 3: return range(1, 16);
      case 4: return range(1, MAX_BUFFER);
      default: return 1024 * range(1, 12) + range(-3, 3);
    }
  }
  bool empty() const { return left_ == 0; }

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

// A buffer with guard bytes on both sides; the reader may write only
// [data(), data() + length).
class Guarded {
 public:
  explicit Guarded(int length)
      : room_(length > 0 ? static_cast<std::size_t>(length) : 0), bytes_(room_ + 2 * GUARD, GUARD_BYTE) {}
  std::uint8_t* data() { return bytes_.data() + GUARD; }
  bool intact() const {
    for (std::size_t i = 0; i < GUARD; ++i) {
      if (bytes_[i] != GUARD_BYTE || bytes_[GUARD + room_ + i] != GUARD_BYTE) return false;
    }
    return true;
  }

 private:
  std::size_t room_;
  std::vector<std::uint8_t> bytes_;
};

std::string fail(const char* what, int result, int length) {
  return std::string(what) + ": result " + std::to_string(result) + " for length " + std::to_string(length);
}

}  // namespace

std::string checkReader(const std::string& imagePath, const std::uint8_t* data, std::size_t size) {
  d88::D88Image reader;
  if (!reader.open(imagePath.c_str())) return "open failed on a readable file";
  const int count = reader.diskCount();
  if (count < 0 || count > d88::MAX_DISKS) return "disk count " + std::to_string(count);
  if (size == 0) return "";
  Params params(data, size);
  for (int op = 0; op < MAX_OPERATIONS && !params.empty(); ++op) {
    const int kind = params.byte() % 8;
    if (kind == 0) {
      const int index = params.value(-2, count + 2);
      const bool valid = index >= 0 && index < count;
      if (reader.selectDisk(index) != valid) return "selectDisk(" + std::to_string(index) + ") result";
      const char* name = reader.diskName();
      if (std::memchr(name, 0, 17) == nullptr) return "disk name not terminated";
      if (reader.mediaType() < -1 || reader.mediaType() > 255) return "media type out of range";
      if (!valid && (reader.mediaType() != -1 || name[0] != 0 || reader.diskSize() != 0)) {
        return "failed selection left a disk selected";
      }
    } else if (kind == 1) {
      reader.setSectorRange(params.value(0, 20), params.value(0, 20));
    } else if (kind == 2) {
      const int length = params.length();
      Guarded buffer(length);
      const int got = reader.readSector(params.value(0, 163), params.value(0, 255), params.value(0, 1),
                                        params.value(0, 20), params.value(0, 7), buffer.data(), length);
      if (got < 0 || got > (length > 0 ? length : 0)) return fail("readSector", got, length);
      if (!buffer.intact()) return fail("readSector wrote outside its buffer", got, length);
    } else if (kind == 3 || kind == 4) {
      const int n = params.value(0, 7);
      const int length = params.length();
      Guarded buffer(length);
      const int got = reader.readSectors(params.value(0, 163), params.value(0, 255), params.value(0, 1),
                                         params.value(0, 20), n, buffer.data(), length);
      if (got < 0 || got > (length > 0 ? length : 0)) return fail("readSectors", got, length);
      if (!buffer.intact()) return fail("readSectors wrote outside its buffer", got, length);
      if (n < 0 || n > 23) {
        if (got != 0) return fail("readSectors with an invalid size code", got, length);
      } else if (got != length && got % (128 << n) != 0) {
        return fail("readSectors result neither whole pieces nor the length", got, length);
      }
    } else if (kind == 5) {
      const int length = params.length() % 1024;
      Guarded buffer(length);
      const int got = reader.readTrackIds(params.value(0, 163), buffer.data(), length);
      if (got < 0 || got > (length > 0 ? length : 0) || got % 4 != 0) return fail("readTrackIds", got, length);
      if (!buffer.intact()) return fail("readTrackIds wrote outside its buffer", got, length);
    } else if (kind == 6) {
      const int track = params.value(0, 163);
      const int room = params.range(0, 300);
      std::vector<d88::SectorRecord> records(static_cast<std::size_t>(room) + 1);
      const int got = reader.readTrackRecords(track, records.data(), room);
      if (got < 0 || got > room) return fail("readTrackRecords", got, room);
      for (int i = 0; i < got; ++i) {
        const d88::SectorRecord& r = records[static_cast<std::size_t>(i)];
        if (r.dataAvailable < 0 || r.dataAvailable > r.dataSize || r.position < 0 ||
            r.position + 16 > reader.fileSize()) {
          return fail("readTrackRecords record fields", i, room);
        }
      }
      const std::int64_t offset = reader.trackOffset(track);
      if ((got > 0 && offset < 0) || offset > reader.fileSize() + 0x7FFFFFFFLL) {
        return fail("trackOffset", static_cast<int>(offset), track);
      }
    } else {
      // Reopening must index the same disks again.
      if (!reader.open(imagePath.c_str())) return "reopen failed";
      if (reader.diskCount() != count) return "reopen gave another disk count";
    }
  }
  if (!reader.open(nullptr) || reader.diskCount() != 0 || reader.selectDisk(0)) return "close";
  return "";
}

std::string checkToolOutput(const std::string& dir) {
  static const std::map<std::string, std::uintmax_t> sizes = {{"DRIVER", 7168}, {"MUSIC1", 5120}, {"MUSIC2", 5632},
                                                              {"MUSIC3", 128},  {"MUSIC4", 256},  {"MUSIC5", 768},
                                                              {"MUSIC6", 2816}};
  std::string problem;
  std::error_code ec;
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) found.push_back(entry.path());
  if (ec) return "cannot list " + dir;
  for (const std::filesystem::path& path : found) {
    const std::string name = path.filename().string();
    const auto known = sizes.find(name);
    if (known == sizes.end()) {
      problem += "unexpected file " + name + "; ";
    } else if (!std::filesystem::is_regular_file(path) || std::filesystem::file_size(path, ec) != known->second) {
      problem += name + " has the wrong size; ";
    }
    std::filesystem::remove_all(path, ec);
  }
  return problem;
}

}  // namespace d88fuzz
