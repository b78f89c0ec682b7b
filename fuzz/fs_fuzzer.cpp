// libFuzzer target: the file systems on the input, read from memory: found,
// listed, every file read, and every name made safe. A listing stays
// bounded by the image, a file by its sectors, and no safe name can leave
// its folder.
#include <cstdint>
#include <string>

#include "d88/d88_image.h"
#include "fs/filesystem.h"
#include "fuzz_checks.h"

using d88fuzz::fail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  d88::D88Image reader;
  if (!reader.openMemory(data, static_cast<std::int64_t>(size))) fail("openMemory refused a small input");
  for (int d = 0; d < reader.diskCount(); ++d) {
    if (!reader.selectDisk(d)) continue;
    const d88fs::Listing listing = d88fs::listFiles(reader);
    if (listing.kind == d88fs::FsKind::NONE && !listing.files.empty()) fail("files without a file system");
    // Each directory entry takes 16 bytes or more of the image.
    if (listing.files.size() > size / 16 + 1) fail("more files than the image can hold");
    for (const d88fs::FileEntry& f : listing.files) {
      const std::vector<unsigned char> bytes = d88fs::readFile(reader, f);
      if (!f.directory && static_cast<std::int64_t>(bytes.size()) != f.size) fail("a file read at another size");
      if (f.parts.size() != f.utf8Parts.size() || f.parts.empty()) fail("a path without its parts");
      for (std::size_t i = 0; i < f.parts.size(); ++i) {
        const std::string safe = d88fs::safeName(f.parts[i], f.utf8Parts[i]);
        if (safe.empty() || safe == "." || safe == ".." || safe.find_first_of("/\\:") != std::string::npos) {
          fail("a name that could leave its folder: " + safe);
        }
        for (const char ch : safe) {
          if (static_cast<unsigned char>(ch) < 0x20) fail("a control character in a safe name");
        }
      }
    }
  }
  return 0;
}
