// Writing a file so that its name never shows a part of it: the bytes go
// to a new temporary file beside it, which is renamed over the name only
// once every byte was written and the file closed.
#ifndef TOOL_SAFE_WRITE_H
#define TOOL_SAFE_WRITE_H

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

// Why a write failed: "cannot create a temporary file for", "cannot write"
// or "cannot replace", and the system's reason.
struct SafeWriteError {
  const char* what = "cannot write";
  std::string reason;
};

// Writes `size` bytes at `data` to `path`. `handle` holds the temporary
// file while it is open. A link at `path` is replaced, never written
// through; a file that already holds exactly these bytes is left as it is.
bool writeFileSafely(const std::filesystem::path& path, const unsigned char* data, std::size_t size, std::FILE*& handle,
                     SafeWriteError& error);

#endif  // TOOL_SAFE_WRITE_H
