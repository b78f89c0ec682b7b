#include "d88/byte_source.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace d88 {

namespace {
constexpr std::size_t STREAM_CHUNK = 65536;
}  // namespace

void ByteSource::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  memory_ = nullptr;
  owned_.clear();
  owned_.shrink_to_fit();
  kind_ = Kind::NONE;
  size_ = -1;
  filePosition_ = -1;
  failed_ = false;
  windowStart_ = 0;
  windowLength_ = 0;
  windowAtEnd_ = false;
  fillSize_ = WINDOW_SIZE;
}

bool ByteSource::openPath(const char* path) {
  close();
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  // Only a regular file can be read in place: a pipe cannot seek, and a
  // device may say it can while it has no end.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    const bool read = readStream(file);
    std::fclose(file);
    return read;
  }
  // Every read is one the reader asked for, through the window; a stdio
  // buffer would only copy the bytes once more.
  std::setvbuf(file, nullptr, _IONBF, 0);
  std::int64_t size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  file_ = file;
  kind_ = Kind::FILE;
  size_ = size;
  window_.resize(WINDOW_SIZE);
  return true;
}

bool ByteSource::openStream(std::FILE* stream) {
  close();
  return stream != nullptr && readStream(stream);
}

bool ByteSource::readStream(std::FILE* stream) {
  std::vector<unsigned char> bytes;
  for (;;) {
    const std::size_t have = bytes.size();
    // One byte past the limit tells an input that is too large.
    const std::size_t room = static_cast<std::size_t>(MAX_STREAM_SIZE) + 1 - have;
    const std::size_t chunk = room < STREAM_CHUNK ? room : STREAM_CHUNK;
    bytes.resize(have + chunk);
    const std::size_t got = std::fread(bytes.data() + have, 1, chunk, stream);
    bytes.resize(have + got);
    if (bytes.size() > static_cast<std::size_t>(MAX_STREAM_SIZE) || std::ferror(stream)) return false;
    if (got < chunk) break;
  }
  owned_ = std::move(bytes);
  memory_ = owned_.data();
  size_ = static_cast<std::int64_t>(owned_.size());
  kind_ = Kind::MEMORY;
  return true;
}

bool ByteSource::openMemory(const unsigned char* data, std::int64_t size) {
  close();
  if (size < 0 || size > MAX_STREAM_SIZE || (data == nullptr && size > 0)) return false;
  memory_ = data;
  size_ = size;
  kind_ = Kind::MEMORY;
  return true;
}

int ByteSource::read(std::int64_t position, unsigned char* buffer, int length, bool windowed) {
  if (kind_ == Kind::NONE || length <= 0 || position < 0 || position > INT32_MAX) return 0;
  if (kind_ == Kind::MEMORY) {
    if (position >= size_) return 0;
    const std::int64_t left = size_ - position;
    const int n = left < length ? static_cast<int>(left) : length;
    std::memcpy(buffer, memory_ + position, static_cast<std::size_t>(n));
    return n;
  }
  const std::int64_t windowEnd = windowStart_ + windowLength_;
  if (position >= windowStart_ && (position + length <= windowEnd || (windowAtEnd_ && position <= windowEnd))) {
    const std::int64_t left = windowEnd - position;
    const int n = left < length ? static_cast<int>(left) : length;
    std::memcpy(buffer, window_.data() + (position - windowStart_), static_cast<std::size_t>(n));
    return n;
  }
  if (!windowed || length >= WINDOW_SIZE) return readFile(position, buffer, length);
  // A read a little past the window (a track whose data ends just beyond it)
  // still walks onward.
  const bool onward = windowLength_ > 0 && position >= windowStart_ && position <= windowEnd + WINDOW_SIZE;
  fillSize_ = onward ? (fillSize_ < MAX_WINDOW_SIZE / 2 ? 2 * fillSize_ : MAX_WINDOW_SIZE) : WINDOW_SIZE;
  if (window_.size() < static_cast<std::size_t>(fillSize_)) window_.resize(static_cast<std::size_t>(fillSize_));
  const int got = readFile(position, window_.data(), fillSize_);
  windowStart_ = position;
  windowLength_ = got;
  windowAtEnd_ = got < fillSize_ && !failed_;
  const int n = got < length ? got : length;
  std::memcpy(buffer, window_.data(), static_cast<std::size_t>(n));
  return n;
}

// Every position lies in 0..INT32_MAX, which fits a long on every platform,
// so fseek is enough (no 64-bit seek extension needed).
int ByteSource::readFile(std::int64_t position, unsigned char* buffer, int length) {
  if (position != filePosition_ && std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) {
    filePosition_ = -1;
    return 0;
  }
  const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(length), file_);
  if (std::ferror(file_)) {
    failed_ = true;
    std::clearerr(file_);
    filePosition_ = -1;
  } else if (std::feof(file_)) {
    filePosition_ = -1;  // the next read seeks, which clears the end-of-file mark
  } else {
    filePosition_ = position + static_cast<std::int64_t>(got);
  }
  return static_cast<int>(got);
}

}  // namespace d88
