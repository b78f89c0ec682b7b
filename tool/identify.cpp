#include <cstring>

#include "tool/identify.h"

const unsigned char systemDiskLabel[LABEL_SIZE] = {'Q', 'U', 'O', 'R', 'V', 'E', 'N', ' ',
                                                   'X', '1', ' ', ' ', ' ', 'S', 'y', 's'};
const unsigned char makerDiskLabel[LABEL_SIZE] = {'D', 'i', 's', 'k', ' ', '3', ' ', 'm',
                                                  'a', 'k', 'e', 'r', ' ', 'S', 'y', 's'};

KnownDisk identifyLabel(const unsigned char* sector, int size) {
  // A sector too short to hold the label cannot name a disk, whatever an
  // earlier disk left behind it in the buffer.
  if (size < LABEL_OFFSET + LABEL_SIZE) return KnownDisk::None;
  if (std::memcmp(sector + LABEL_OFFSET, systemDiskLabel, LABEL_SIZE) == 0) return KnownDisk::System;
  if (std::memcmp(sector + LABEL_OFFSET, makerDiskLabel, LABEL_SIZE) == 0) return KnownDisk::Maker;
  return KnownDisk::None;
}

KnownDisk identifyDisk(d88::D88Image& reader, unsigned char* sector, int* got) {
  reader.setSectorRange(1, 16);
  const int size = reader.readSector(0, 0, 0, 1, 1, sector, LABEL_SECTOR_SIZE);
  if (got != nullptr) *got = size;
  return identifyLabel(sector, size);
}
