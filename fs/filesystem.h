// The files on a disk: the disk's own file system, found from its own
// structures, listed, and read, through the reader alone. Four file systems
// are known: FAT12 (MS-DOS, PC-98 MS-DOS, FM Towns, MSX-DOS), N88-BASIC,
// Hu-BASIC and F-BASIC. Everything here returns values; the programs and
// views word them.
//
// Whatever the disk holds, every chain is followed at most once per cluster,
// a directory is read at most once, and what can be read is read: damage is
// a warning, never a loop, and cost and output grow no faster than the disk.
#ifndef FS_FILESYSTEM_H
#define FS_FILESYSTEM_H

#include <cstdint>
#include <string>
#include <vector>

#include "d88/d88_image.h"
#include "d88/shift_jis.h"

namespace d88fs {

enum class FsKind { NONE, FAT12, N88_BASIC, HU_BASIC, F_BASIC };
// "fat12", "n88-basic", "hu-basic", "f-basic"; "" for none.
const char* fsName(FsKind kind);

// Kinds of damage a listing reports.
enum class FsCode {
  CHAIN_LOOP,          // a cluster chain comes back to a cluster it passed
  CHAIN_OUT_OF_RANGE,  // a chain leaves the table
  CHAIN_FREE,          // a chain reaches a free cluster
  CHAIN_RESERVED,      // a chain reaches a reserved or bad cluster
  CROSS_LINKED,        // a cluster belongs to two files (read for the first)
  COPIES_DIFFER,       // the copies of the allocation table differ
  DIRECTORY_LOOP,      // a directory contains itself or an earlier one
  SIZE_PAST_CHAIN,     // the size the directory keeps is more than the chain holds
  SECTOR_MISSING,      // a sector the file system needs is not on the disk
  COUNT_
};
// "chain-loop" ...
const char* fsCodeName(FsCode code);

struct FsWarning {
  FsCode code;
  std::string path;           // the file or directory concerned ("" for the disk)
  std::int64_t a = 0, b = 0;  // cluster numbers, sizes: by code
};

// A sector of the disk by its table slot and its R, with the record the
// reader's lookup finds (1-based in the track's walk).
struct SectorRef {
  int track;
  int r;
  int record;
  int take;  // bytes of it that belong to the file
};

struct FileEntry {
  std::string path;  // NAME.EXT, folders joined by '/'; as stored (Shift-JIS; FAT's long names as UTF-8)
  std::string name;  // the last part of path
  // The parts of path, each a name as the disk keeps it (a name may hold
  // a '/' of its own), and per part whether it is a FAT long name (UTF-8)
  // rather than Shift-JIS.
  std::vector<std::string> parts;
  std::vector<bool> utf8Parts;
  bool directory = false;
  bool longName = false;  // path's last part is a FAT long name (UTF-8)
  std::int64_t size = 0;
  // "file" for FAT; "ascii", "basic", "machine", "data" for the BASICs.
  std::string kind;
  // "read-only", "hidden", "system", "archive", "write-protect", "verify",
  // "encrypted", "random-access".
  std::vector<std::string> flags;
  bool hasDate = false;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::vector<SectorRef> sectors;  // the file's bytes, in order
};

struct Listing {
  FsKind kind = FsKind::NONE;
  // How it was found ("BPB: 1024-byte sectors, ..."), or why none was.
  std::string why;
  std::vector<FileEntry> files;  // directories before their contents
  std::vector<FsWarning> warnings;
};

// Detects and lists the file system of the disk selected in `reader`.
Listing listFiles(d88::D88Image& reader);

// The bytes of `file` from the disk selected in `reader` (the one it was
// listed from): each of its sectors, as far as it belongs to the file.
std::vector<unsigned char> readFile(d88::D88Image& reader, const FileEntry& file);

// `file`'s path as text, its parts joined by '/': each decoded from
// Shift-JIS (a FAT long name is Unicode already), a byte that does not
// decode written as `how` says.
std::string decodedPath(const FileEntry& file, d88::Undecodable how = d88::Undecodable::REPLACE);

// A name from the disk as one safe part of a path on this computer: bytes
// decoded from Shift-JIS (a FAT long name as it is), and every character
// that could leave the folder, that no file system takes, or that Windows
// reserves, written as %XX of its byte (so is '%' itself); names Windows
// reserves (CON, AUX, NUL, COM1 ...) get their first letter so written.
// The substitution is visible and can be undone.
std::string safeName(const std::string& name, bool utf8);

}  // namespace d88fs

#endif  // FS_FILESYSTEM_H
