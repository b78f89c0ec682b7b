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

namespace {

// Runs one operation on the file reader and the memory reader alike and
// checks the promises on the file's result; returns "" or what is wrong.
class Twin {
 public:
  Twin(const std::string& path, const std::uint8_t* data, std::size_t size) : path_(path), data_(data), size_(size) {}
  bool open() {
    const bool file = file_.open(path_.c_str());
    const bool memory = memory_.openMemory(data_, static_cast<std::int64_t>(size_));
    return file && memory;
  }
  d88::D88Image& file() { return file_; }
  d88::D88Image& memory() { return memory_; }
  // `op` on both readers with its own buffer each; results and buffers must
  // agree.
  template <class Op>
  std::string same(const char* what, int length, Op op, int* result) {
    Guarded a(length), b(length);
    const int x = op(file_, a.data());
    const int y = op(memory_, b.data());
    *result = x;
    if (!a.intact() || !b.intact()) return fail((std::string(what) + " wrote outside its buffer").c_str(), x, length);
    if (x != y) return std::string(what) + ": file gives " + std::to_string(x) + ", memory " + std::to_string(y);
    if (x > 0 && std::memcmp(a.data(), b.data(), static_cast<std::size_t>(x)) != 0) {
      return std::string(what) + ": file and memory deliver other bytes";
    }
    return "";
  }

 private:
  std::string path_;
  const std::uint8_t* data_;
  std::size_t size_;
  d88::D88Image file_, memory_;
};

}  // namespace

std::string checkReader(const std::string& imagePath, const std::uint8_t* data, std::size_t size) {
  Twin twin(imagePath, data, size);
  if (!twin.open()) return "open failed on a readable file or on memory";
  d88::D88Image& reader = twin.file();
  const int count = reader.diskCount();
  if (count < 0 || count > d88::MAX_DISKS) return "disk count " + std::to_string(count);
  if (twin.memory().diskCount() != count) return "file and memory index other disk counts";
  if (size == 0) return "";
  Params params(data, size);
  std::string problem;
  int got = 0;
  for (int op = 0; op < MAX_OPERATIONS && !params.empty() && problem.empty(); ++op) {
    const int kind = params.byte() % 8;
    if (kind == 0) {
      const int index = params.value(-2, count + 2);
      const bool valid = index >= 0 && index < count;
      if (reader.selectDisk(index) != valid) return "selectDisk(" + std::to_string(index) + ") result";
      if (twin.memory().selectDisk(index) != valid) return "selectDisk on memory";
      const char* name = reader.diskName();
      if (std::memchr(name, 0, 17) == nullptr) return "disk name not terminated";
      if (std::strcmp(name, twin.memory().diskName()) != 0) return "file and memory give other names";
      if (reader.mediaType() < -1 || reader.mediaType() > 255) return "media type out of range";
      if (!valid && (reader.mediaType() != -1 || name[0] != 0 || reader.diskSize() != 0)) {
        return "failed selection left a disk selected";
      }
    } else if (kind == 1) {
      const int first = params.value(0, 20), last = params.value(0, 20);
      reader.setSectorRange(first, last);
      twin.memory().setSectorRange(first, last);
    } else if (kind == 2) {
      const int length = params.length();
      const int track = params.value(0, 163), c = params.value(0, 255), h = params.value(0, 1), r = params.value(0, 20),
                n = params.value(0, 7);
      problem = twin.same(
          "readSector", length,
          [&](d88::D88Image& image, std::uint8_t* buffer) {
            return image.readSector(track, c, h, r, n, buffer, length);
          },
          &got);
      if (problem.empty() && (got < 0 || got > (length > 0 ? length : 0))) problem = fail("readSector", got, length);
    } else if (kind == 3 || kind == 4) {
      const int n = params.value(0, 7);
      const int length = params.length();
      const int track = params.value(0, 163), c = params.value(0, 255), h = params.value(0, 1), r = params.value(0, 20);
      problem = twin.same(
          "readSectors", length,
          [&](d88::D88Image& image, std::uint8_t* buffer) {
            return image.readSectors(track, c, h, r, n, buffer, length);
          },
          &got);
      if (!problem.empty()) break;
      if (got < 0 || got > (length > 0 ? length : 0)) return fail("readSectors", got, length);
      if (n < 0 || n > 23) {
        if (got != 0) return fail("readSectors with an invalid size code", got, length);
      } else if (got != length && got % (128 << n) != 0) {
        return fail("readSectors result neither whole pieces nor the length", got, length);
      }
    } else if (kind == 5) {
      const int length = params.length() % 1024;
      const int track = params.value(0, 163);
      problem = twin.same(
          "readTrackIds", length,
          [&](d88::D88Image& image, std::uint8_t* buffer) { return image.readTrackIds(track, buffer, length); }, &got);
      if (problem.empty() && (got < 0 || got > (length > 0 ? length : 0) || got % 4 != 0)) {
        problem = fail("readTrackIds", got, length);
      }
    } else if (kind == 6) {
      const int track = params.value(0, 163);
      const int room = params.range(0, 300);
      std::vector<d88::SectorRecord> records(static_cast<std::size_t>(room) + 1);
      std::vector<d88::SectorRecord> again(static_cast<std::size_t>(room) + 1);
      const int got = reader.readTrackRecords(track, records.data(), room);
      if (got < 0 || got > room) return fail("readTrackRecords", got, room);
      if (twin.memory().readTrackRecords(track, again.data(), room) != got) return "readTrackRecords on memory";
      for (int i = 0; i < got; ++i) {
        const d88::SectorRecord& r = records[static_cast<std::size_t>(i)];
        const d88::SectorRecord& m = again[static_cast<std::size_t>(i)];
        if (r.dataAvailable < 0 || r.dataAvailable > r.dataSize || r.position < 0 ||
            r.position + 16 > reader.fileSize()) {
          return fail("readTrackRecords record fields", i, room);
        }
        if (r.position != m.position || r.dataAvailable != m.dataAvailable || r.count != m.count) {
          return fail("readTrackRecords differs on memory", i, room);
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
      if (!twin.memory().openMemory(data, static_cast<std::int64_t>(size))) return "reopen of memory failed";
    }
  }
  if (!problem.empty()) return problem;
  if (!reader.open(nullptr) || reader.diskCount() != 0 || reader.selectDisk(0)) return "close";
  return "";
}

std::string readerDigest(d88::D88Image& reader) {
  std::string out = "disks " + std::to_string(reader.diskCount()) + " size " + std::to_string(reader.fileSize()) + "\n";
  auto add = [&out](const char* what, long long value) {
    out += std::string(what) + " " + std::to_string(value) + "\n";
  };
  auto bytes = [&out](const std::vector<std::uint8_t>& buffer, int n) {
    out.append(reinterpret_cast<const char*>(buffer.data()), n > 0 ? static_cast<std::size_t>(n) : 0);
    out += '\n';
  };
  constexpr int ROOM = 256;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(3 * 1024));
  std::vector<d88::SectorRecord> records(ROOM);
  for (int disk = -1; disk <= reader.diskCount(); ++disk) {
    add("select", reader.selectDisk(disk));
    out += std::string("name ") + reader.diskName() + "\n";
    add("media", reader.mediaType());
    add("protect", reader.writeProtect());
    add("size", reader.diskSize());
    add("offset", reader.diskOffset());
    for (int track = 0; track < d88::TRACK_COUNT; ++track) {
      add("entry", reader.trackEntry(track));
      add("at", reader.trackOffset(track));
      const int ids = reader.readTrackIds(track, buffer.data(), 4 * ROOM);
      add("ids", ids);
      bytes(buffer, ids);
      bool cut = false;
      const int listed = reader.readTrackRecords(track, records.data(), ROOM, &cut);
      add("records", listed);
      add("cut", cut);
      for (int i = 0; i < listed; ++i) {
        const d88::SectorRecord& r = records[static_cast<std::size_t>(i)];
        add("position", r.position);
        add("available", r.dataAvailable);
        for (int length : {100, 1024}) {
          const int got = reader.readSector(track, r.c, r.h, r.r, r.n, buffer.data(), length);
          add("sector", got);
          bytes(buffer, got);
        }
        if (r.n <= 3) {
          reader.setSectorRange(1, i % 2 == 0 ? 5 : 16);
          const int got = reader.readSectors(track, r.c, r.h, r.r, r.n, buffer.data(), 3 * (128 << r.n));
          add("run", got);
          bytes(buffer, got);
        }
      }
    }
  }
  return out;
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
