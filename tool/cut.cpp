#include <cstdio>

#include "tool/extract.h"

d88::D88Image imageReader;
unsigned char workBuffer[WORK_BUFFER_SIZE];

namespace {

// Shift-JIS: "Disk 1を認識しました.\n"
const char SYSTEM_DISK_FOUND[] =
    "Disk 1"
    "\x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    ".\n";
// Shift-JIS: "Disk 2を認識しました.\n"
const char MAKER_DISK_FOUND[] =
    "Disk 2"
    "\x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    ".\n";

}  // namespace

void cutImage() {
  const int count = imageReader.diskCount();
  for (int i = 0; i < count; ++i) {
    imageReader.selectDisk(i);
    switch (identifyDisk(imageReader, workBuffer)) {
      case KnownDisk::System:
        std::fputs(SYSTEM_DISK_FOUND, stdout);
        extractSystemDisk();
        break;
      case KnownDisk::Maker: std::fputs(MAKER_DISK_FOUND, stdout); break;
      case KnownDisk::None: break;
    }
  }
}
