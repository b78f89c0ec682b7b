// d88cut's identification of the two known disks by the label in the first
// sector of track 0.
#ifndef TOOL_IDENTIFY_H
#define TOOL_IDENTIFY_H

#include "d88/d88_image.h"

constexpr int LABEL_SIZE = 16;
// The label sector: track 0, C 0, H 0, R 1, N 1; its label stands at bytes
// 1..16.
constexpr int LABEL_SECTOR_SIZE = 256;
constexpr int LABEL_OFFSET = 1;

extern const unsigned char systemDiskLabel[LABEL_SIZE];
extern const unsigned char makerDiskLabel[LABEL_SIZE];

enum class KnownDisk { None, System, Maker };

// Which known disk the label sector in `sector` (`size` bytes read) names.
KnownDisk identifyLabel(const unsigned char* sector, int size);
// Sets the range 1..16, reads the label sector of `reader`'s selected disk
// into `sector` (LABEL_SECTOR_SIZE bytes at most) and says which known disk
// it names; `got`, when given, receives the bytes read.
KnownDisk identifyDisk(d88::D88Image& reader, unsigned char* sector, int* got = nullptr);

#endif  // TOOL_IDENTIFY_H
