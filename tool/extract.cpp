#include "tool/extract.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

std::FILE* outputFile = nullptr;
bool outputFailed = false;

namespace {

constexpr int TEMP_NAME_TRIES = 16;
constexpr std::size_t TEMP_NAME_SIZE = 64;

void reportFailure(const char* what, const char* name, const char* reason) {
  // Through one pipe the lines then keep the order in which they happened.
  std::fflush(stdout);
  std::fprintf(stderr, "d88cut: %s %s: %s\n", what, name, reason);
  outputFailed = true;
}

// A name nobody else is likely to use, so that a stale or planted temporary
// file can never block the tool. Mixes the clock, a counter and a stack
// address (randomised on most systems); no exceptions, unlike random_device.
std::uint64_t tempNameSeed() {
  static std::uint64_t counter = 0;
  int local = 0;
  std::uint64_t x = static_cast<std::uint64_t>(std::time(nullptr)) ^ (static_cast<std::uint64_t>(std::clock()) << 20) ^
                    static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&local)) ^
                    (++counter * 0x9E3779B97F4A7C15ULL);
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// Creates `path` only if nothing stands there: an existing file or link is
// never opened. C11's "x" mode does it; older Windows C runtimes lack it.
std::FILE* openExclusive(const char* path) {
#ifdef _WIN32
  const int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
#else
  return std::fopen(path, "wbx");
#endif
}

// Creates a new temporary file beside `name`.
std::FILE* createTemp(const char* name, char* tempName) {
  for (int attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
    std::snprintf(tempName, TEMP_NAME_SIZE, ".%s.%08lx.tmp", name,
                  static_cast<unsigned long>(tempNameSeed() & 0xFFFFFFFFu));
    std::FILE* file = openExclusive(tempName);
    if (file != nullptr) return file;
  }
  return nullptr;
}

// True when `name` is a plain file (not a link) that holds exactly `size`
// bytes equal to `data`.
bool alreadyHolds(const char* name, const unsigned char* data, std::size_t size) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(name, ec)) || ec) return false;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return false;
  unsigned char chunk[4096];
  std::size_t done = 0;
  bool same = true;
  while (same) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    same = got <= size - done && std::memcmp(chunk, data + done, got) == 0;
    done += got;
    if (got < sizeof chunk) break;
  }
  same = same && done == size && !std::ferror(file);
  std::fclose(file);
  return same;
}

// Writes the whole file under a temporary name and renames it over `name`
// only once every byte was written and the file closed, so `name` shows the
// old file or the whole new one, never a part; a link at `name` is replaced,
// not written through. A file that already holds exactly these bytes is
// left as it is: replacing it would change nothing but cost a rename, which
// is the dearest step of a run on some file systems.
bool writeOutputFile(const char* name, const unsigned char* data, int size) {
  const std::size_t wanted = size > 0 ? static_cast<std::size_t>(size) : 0;
  if (alreadyHolds(name, data, wanted)) return true;
  char tempName[TEMP_NAME_SIZE];
  errno = 0;
  outputFile = createTemp(name, tempName);
  if (outputFile == nullptr) {
    reportFailure("cannot create a temporary file for", name, std::strerror(errno));
    return false;
  }
  errno = 0;
  bool written = (wanted == 0 || std::fwrite(data, 1, wanted, outputFile) == wanted) && std::fflush(outputFile) == 0;
  int error = errno;
  if (std::fclose(outputFile) != 0 && written) {
    written = false;
    error = errno;
  }
  outputFile = nullptr;
  if (!written) {
    std::remove(tempName);
    reportFailure("cannot write", name, error != 0 ? std::strerror(error) : "write failed");
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(tempName, name, ec);
  if (ec) {
    std::remove(tempName);
    reportFailure("cannot replace", name, ec.message().c_str());
    return false;
  }
  return true;
}

bool fitsWorkBuffer(int offset, int size) { return offset >= 0 && size >= 0 && offset <= WORK_BUFFER_SIZE - size; }

}  // namespace

bool extractRun(const char* name, int track, int c, int h, int r, int n, int skip, int size) {
  if (!fitsWorkBuffer(skip, size)) return false;
  const int got = imageReader.readSectors(track, c, h, r, n, workBuffer, skip + size);
  if (got == 0) return false;
  std::printf("cutting ... %s\n", name);
  // The whole region is written even when the run stopped early: the bytes
  // it did not deliver are whatever the buffer held before.
  return writeOutputFile(name, workBuffer + skip, size);
}

bool writeRegion(const char* name, const unsigned char* data, int size) {
  std::printf("cutting ... %s\n", name);
  return writeOutputFile(name, data, size);
}

void warnIfNotWhole(const FileCheck& check) {
  if (check.whole) return;
  std::fflush(stdout);
  std::fprintf(stderr, "d88cut: warning: %s %s\n", check.name, describeFileCheck(check).c_str());
}

void extractSystemDisk() {
  // The same reads the recipe makes, in its order, done first so that each
  // file that is not cut whole is named right after its own step.
  FileCheck checks[OUTPUT_FILE_COUNT];
  checkSystemDisk(imageReader, checks);
  int file = 0;
  for (const RecipeStep& step : systemDiskRecipe) {
    switch (step.kind) {
      case RecipeStep::SET_RANGE: imageReader.setSectorRange(step.first, step.last); break;
      case RecipeStep::RUN:
        extractRun(step.name, step.track, step.c, step.h, step.r, SYSTEM_SIZE_CODE, step.skip, step.length);
        if (file < OUTPUT_FILE_COUNT) warnIfNotWhole(checks[file++]);
        break;
      case RecipeStep::READ:
        if (fitsWorkBuffer(step.offset, step.length)) {
          imageReader.readSectors(step.track, step.c, step.h, step.r, SYSTEM_SIZE_CODE, workBuffer + step.offset,
                                  step.length);
        }
        break;
      case RecipeStep::COPY:
        if (fitsWorkBuffer(step.offset, step.length) && fitsWorkBuffer(step.source, step.length)) {
          std::memmove(workBuffer + step.offset, workBuffer + step.source, static_cast<std::size_t>(step.length));
        }
        break;
      case RecipeStep::WRITE:
        if (fitsWorkBuffer(step.offset, step.length)) writeRegion(step.name, workBuffer + step.offset, step.length);
        if (file < OUTPUT_FILE_COUNT) warnIfNotWhole(checks[file++]);
        break;
    }
  }
}
