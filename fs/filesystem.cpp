#include "fs/filesystem.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "d88/shift_jis.h"
#include "fs/internal.h"

namespace d88fs {

const char* fsName(FsKind kind) {
  switch (kind) {
    case FsKind::FAT12: return "fat12";
    case FsKind::N88_BASIC: return "n88-basic";
    case FsKind::HU_BASIC: return "hu-basic";
    case FsKind::F_BASIC: return "f-basic";
    case FsKind::NONE: break;
  }
  return "";
}

const char* fsCodeName(FsCode code) {
  switch (code) {
    case FsCode::CHAIN_LOOP: return "chain-loop";
    case FsCode::CHAIN_OUT_OF_RANGE: return "chain-out-of-range";
    case FsCode::CHAIN_FREE: return "chain-free-cluster";
    case FsCode::CHAIN_RESERVED: return "chain-reserved-cluster";
    case FsCode::CROSS_LINKED: return "cross-linked-cluster";
    case FsCode::COPIES_DIFFER: return "table-copies-differ";
    case FsCode::DIRECTORY_LOOP: return "directory-loop";
    case FsCode::SIZE_PAST_CHAIN: return "size-past-chain";
    case FsCode::SECTOR_MISSING: return "sector-missing";
    case FsCode::COUNT_: break;
  }
  return "";
}

Listing listFiles(d88::D88Image& reader) {
  Listing out;
  const DiskSectors disk(reader);
  std::string why, whyNot;
  // The strongest evidence first: a BPB, then the BASICs' own tables.
  for (auto detect : {listFat12, listN88Basic, listHuBasic, listFBasic}) {
    Listing found;
    if (detect(reader, disk, found, why)) return found;
    if (!whyNot.empty()) whyNot += "; ";
    whyNot += why;
    why.clear();
  }
  out.why = whyNot;
  return out;
}

std::vector<unsigned char> readFile(d88::D88Image& reader, const FileEntry& file) {
  std::vector<unsigned char> out;
  if (file.directory) return out;
  const DiskSectors disk(reader);
  std::vector<unsigned char> sector;
  for (const SectorRef& s : file.sectors) {
    disk.readPadded(s.track, s.r, sector, s.take);
    out.insert(out.end(), sector.begin(), sector.begin() + s.take);
  }
  return out;
}

std::string decodedPath(const FileEntry& file, d88::Undecodable how) {
  std::string out;
  for (std::size_t i = 0; i < file.parts.size(); ++i) {
    if (i > 0) out += '/';
    out += i < file.utf8Parts.size() && file.utf8Parts[i] ? file.parts[i] : d88::shiftJisToUtf8(file.parts[i], how);
  }
  return out;
}

namespace {

const char HEX[] = "0123456789ABCDEF";

void escapeByte(std::string& out, unsigned char b) {
  out += '%';
  out += HEX[b >> 4];
  out += HEX[b & 0xF];
}

// A character no file system takes in a name, or one that leads out of
// the folder.
bool unsafe(std::uint32_t code) {
  return code < 0x20 || code == 0x7F || (code < 0x80 && std::strchr("/\\:*?\"<>|%", static_cast<int>(code)) != nullptr);
}

}  // namespace

std::string safeName(const std::string& name, bool utf8) {
  std::string out;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(name.data());
  for (std::size_t i = 0; i < name.size();) {
    std::uint32_t code = 0;
    int taken = 1;
    if (utf8) {
      code = bytes[i];
      if (code >= 0x80) {
        // A long name is UTF-8 already: its characters pass as they are.
        out += name[i++];
        continue;
      }
    } else {
      taken = d88::decodeShiftJis(bytes + i, name.size() - i, code);
      if (code == 0) {
        // A byte that does not decode keeps its number, visibly.
        escapeByte(out, bytes[i++]);
        continue;
      }
    }
    if (unsafe(code)) {
      escapeByte(out, static_cast<unsigned char>(code));
    } else {
      d88::appendUtf8(out, code);
    }
    i += static_cast<std::size_t>(taken);
  }
  if (out.empty()) return "%00";
  // "." and ".." lead out of the folder.
  if (out == ".") return "%2E";
  if (out == "..") return "%2E%2E";
  // A trailing dot or space vanishes on Windows.
  if (out.back() == '.' || out.back() == ' ') {
    const unsigned char last = static_cast<unsigned char>(out.back());
    out.pop_back();
    escapeByte(out, last);
  }
  // Names Windows reserves for devices, with or without an extension.
  std::string stem = out.substr(0, out.find('.'));
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const reserved[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                         "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                         "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  for (const char* r : reserved) {
    if (stem == r) {
      std::string first;
      escapeByte(first, static_cast<unsigned char>(out[0]));
      return first + out.substr(1);
    }
  }
  return out;
}

}  // namespace d88fs
