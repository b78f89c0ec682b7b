#include "tool/safe_write.h"

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

namespace {

constexpr int TEMP_NAME_TRIES = 16;
constexpr std::size_t TEMP_SUFFIX_SIZE = 24;

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
std::FILE* openExclusive(const std::filesystem::path& path) {
#ifdef _WIN32
  // Wide names: a name of any script, whatever the code page.
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

// Creates a new temporary file beside `path`: in its folder, named after
// it with a dot in front.
std::FILE* createTemp(const std::filesystem::path& path, std::filesystem::path& tempName) {
  const std::filesystem::path base = path.filename();
  for (int attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
    char suffix[TEMP_SUFFIX_SIZE];
    std::snprintf(suffix, sizeof suffix, ".%08lx.tmp", static_cast<unsigned long>(tempNameSeed() & 0xFFFFFFFFu));
    std::filesystem::path name = ".";
    name += base;
    name += suffix;
    tempName = path.parent_path() / name;
    std::FILE* file = openExclusive(tempName);
    if (file != nullptr) return file;
  }
  return nullptr;
}

// True when `name` is a plain file (not a link) that holds exactly `size`
// bytes equal to `data`.
bool alreadyHolds(const std::filesystem::path& name, const unsigned char* data, std::size_t size) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(name, ec)) || ec) return false;
#ifdef _WIN32
  std::FILE* file = _wfopen(name.c_str(), L"rb");
#else
  std::FILE* file = std::fopen(name.c_str(), "rb");
#endif
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

}  // namespace

// Writes the whole file under a temporary name and renames it over `path`
// only once every byte was written and the file closed, so `path` shows the
// old file or the whole new one, never a part. A file that already holds
// exactly these bytes is left as it is: replacing it would change nothing
// but cost a rename, which is the dearest step of a run on some file
// systems.
bool writeFileSafely(const std::filesystem::path& path, const unsigned char* data, std::size_t size, std::FILE*& handle,
                     SafeWriteError& failure) {
  if (alreadyHolds(path, data, size)) return true;
  std::filesystem::path tempName;
  errno = 0;
  handle = createTemp(path, tempName);
  if (handle == nullptr) {
    failure = {"cannot create a temporary file for", std::strerror(errno)};
    return false;
  }
  errno = 0;
  bool written = (size == 0 || std::fwrite(data, 1, size, handle) == size) && std::fflush(handle) == 0;
  int error = errno;
  if (std::fclose(handle) != 0 && written) {
    written = false;
    error = errno;
  }
  handle = nullptr;
  std::error_code ignored;
  if (!written) {
    std::filesystem::remove(tempName, ignored);
    failure = {"cannot write", error != 0 ? std::strerror(error) : "write failed"};
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(tempName, path, ec);
  if (ec) {
    std::filesystem::remove(tempName, ignored);
    failure = {"cannot replace", ec.message()};
    return false;
  }
  return true;
}
