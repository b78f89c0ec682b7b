// libFuzzer target: d88cut's cutting on the input, into memory. Only the
// seven known files may be written, each with its fixed size, and the
// warnings it gives must be those of the check d88info makes.
#include <map>
#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "fuzz_checks.h"
#include "tool/cutter.h"
#include "tool/memory_sink.h"

using d88fuzz::fail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::map<std::string, std::size_t> sizes = {{"DRIVER", 7168}, {"MUSIC1", 5120}, {"MUSIC2", 5632},
                                                           {"MUSIC3", 128},  {"MUSIC4", 256},  {"MUSIC5", 768},
                                                           {"MUSIC6", 2816}};
  d88::D88Image reader;
  if (!reader.openMemory(data, static_cast<std::int64_t>(size))) fail("openMemory refused a small input");
  std::vector<unsigned char> workBuffer(WORK_BUFFER_SIZE);
  MemorySink sink;
  const CutResult result = cutImage(reader, workBuffer.data(), sink);
  for (const auto& [name, bytes] : sink.files) {
    const auto known = sizes.find(name);
    if (known == sizes.end()) fail("an unexpected file " + name);
    if (bytes.size() != known->second) fail(name + " has the wrong size");
  }
  for (const DiskCut& disk : result.disks) {
    if (disk.known != KnownDisk::System) continue;
    reader.selectDisk(disk.disk);
    const std::vector<FileCheck> checks = checkSystemDisk(reader);
    if (checks.size() != disk.files.size()) fail("a check with another number of files");
    for (std::size_t i = 0; i < checks.size(); ++i) {
      if (describeFileCheck(checks[i]) != describeFileCheck(disk.files[i])) fail("the check and the cut disagree");
    }
  }
  return 0;
}
