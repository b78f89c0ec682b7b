// Every English sentence of d88info's report, worded from the inspection's
// values: the text view and the JSON view's text fields use these.
#ifndef INFO_WORDING_H
#define INFO_WORDING_H

#include <string>
#include <vector>

#include "info/analysis.h"

namespace d88info {

// The verdict line of an image: "demo.d88: 1 disk; disk 1 is the system
// disk: d88cut cuts all 7 files whole; 0 warnings".
std::string verdictText(const Report& report);
// Why a file is no D88 image.
std::string notD88Text(const NotD88& why);
// A warning: its title, what was seen where, its first place and values.
std::string warningText(const Warning& warning);
// How the disk size fits the file: "ends at the end of the file".
std::string fitText(const Disk& disk);
// "40 cylinders x 2 sides; track 0: 16 x 256 bytes; tracks 1-79: 5 x 1024 bytes".
std::string geometryText(const Geometry& geometry);
// "5 x 1024 bytes", "4 x 1024, 1 x 512 bytes".
std::string layoutText(const std::vector<SizeCount>& layout);
// The known-disk line: "the system disk; ...", or "none; " and why.
std::string knownDiskText(const Disk& disk);
// The disk's file system and how many files: "fat12, 10 files", or "none".
std::string fileSystemText(const Disk& disk);
// "off", "on", or the byte.
std::string writeProtectText(int byte);
// "0, 5-7": track numbers as ranges, at most 16 of them.
std::string rangesText(const std::vector<int>& values);

// `bytes` with printable ASCII as it is and every other byte, quote and
// backslash escaped (\xNN, \", \\): any name reads the same on any terminal.
std::string escaped(const std::string& bytes);

}  // namespace d88info

#endif  // INFO_WORDING_H
