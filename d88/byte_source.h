// Where the D88 reader gets its bytes: an open file read through a small
// window, or a block of memory (the caller's, or a non-seekable input read
// whole).
#ifndef D88_BYTE_SOURCE_H
#define D88_BYTE_SOURCE_H

#include <climits>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace d88 {

class ByteSource {
 public:
  // Small reads (disk headers, record headers, a sector) are served from one
  // window of this many bytes: one system read brings in a disk header with
  // the first records of its track 0, or a whole track of a 2D disk, while a
  // disk that is only looked at costs a few KiB of reading, not the disk.
  static constexpr int WINDOW_SIZE = 8192;
  // A fill that starts within or right after the window before it is part
  // of a front-to-back walk (an inspection of every record): each such fill
  // doubles, up to this size, so a walk over a large image costs few reads.
  static constexpr int MAX_WINDOW_SIZE = 1 << 18;
  // Non-seekable input is read whole into memory up to this size.
  static constexpr std::int64_t MAX_STREAM_SIZE = INT32_MAX;

  ByteSource() = default;
  ~ByteSource() { close(); }
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // A regular file is read in place, through the window; anything else (a
  // pipe, a FIFO, a character device) is read whole into memory first.
  // False when it cannot be opened or read.
  bool openPath(const char* path);
  // Reads `stream` whole into memory; the stream stays the caller's.
  bool openStream(std::FILE* stream);
  // Serves `size` bytes at `data`, which the caller keeps alive until close.
  bool openMemory(const unsigned char* data, std::int64_t size);
  void close();

  bool isOpen() const { return kind_ != Kind::NONE; }
  // Bytes in the source; -1 when none is open or it cannot be told.
  std::int64_t size() const { return size_; }

  // Copies up to `length` bytes from `position` into `buffer`. Returns how
  // many were copied: fewer at the end of the source, 0 past it or for a
  // position outside 0..INT32_MAX. `windowed` false reads straight from the
  // file (for reads that are never followed by reads nearby).
  int read(std::int64_t position, unsigned char* buffer, int length, bool windowed = true);
  // True once a read of the file failed (not just ended).
  bool failed() const { return failed_; }

 private:
  bool readStream(std::FILE* stream);
  int readFile(std::int64_t position, unsigned char* buffer, int length);

  enum class Kind { NONE, FILE, MEMORY };
  Kind kind_ = Kind::NONE;
  std::FILE* file_ = nullptr;
  const unsigned char* memory_ = nullptr;
  std::vector<unsigned char> owned_;  // a non-seekable input, read whole
  std::int64_t size_ = -1;
  std::int64_t filePosition_ = -1;  // where the next fread starts; -1 unknown
  bool failed_ = false;

  std::vector<unsigned char> window_;
  std::int64_t windowStart_ = 0;
  int windowLength_ = 0;
  int fillSize_ = WINDOW_SIZE;
  bool windowAtEnd_ = false;  // the window's fill stopped at the end of the file
};

}  // namespace d88

#endif  // D88_BYTE_SOURCE_H
