// A listing as JSON, written through any RapidJSON-style writer, so that
// d88ls and d88info give the same fields: its files and its warnings.
#ifndef FS_LISTING_JSON_H
#define FS_LISTING_JSON_H

#include <cstdio>
#include <string>

#include "d88/shift_jis.h"
#include "fs/filesystem.h"

namespace d88fs {

// Bytes as hexadecimal text, two digits a byte: the lossless form of a name.
inline std::string hexOf(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : bytes) {
    out += digits[static_cast<unsigned char>(ch) >> 4];
    out += digits[static_cast<unsigned char>(ch) & 0xF];
  }
  return out;
}

// "files": [...], "warnings": [...], with `text` writing a string that may
// hold any character.
template <class Writer, class Text>
void writeListing(Writer& w, const Listing& listing, Text text) {
  w.Key("files");
  w.StartArray();
  for (const FileEntry& f : listing.files) {
    w.StartObject();
    w.Key("path");
    text(decodedPath(f));
    w.Key("path_hex");
    text(hexOf(f.path));
    w.Key("size");
    w.Int64(f.size);
    w.Key("kind");
    w.String(f.directory ? "directory" : "file");
    w.Key("type");
    text(f.kind);
    w.Key("flags");
    w.StartArray();
    for (const std::string& flag : f.flags) text(flag);
    w.EndArray();
    w.Key("date");
    if (f.hasDate) {
      char date[40];
      std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                    f.second);
      text(date);
    } else {
      w.Null();
    }
    w.Key("sectors");
    w.StartArray();
    for (const SectorRef& s : f.sectors) {
      w.StartObject();
      w.Key("track");
      w.Int(s.track);
      w.Key("r");
      w.Int(s.r);
      w.Key("record");
      if (s.record > 0) {
        w.Int(s.record);
      } else {
        w.Null();
      }
      w.Key("bytes");
      w.Int(s.take);
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
  w.Key("warnings");
  w.StartArray();
  for (const FsWarning& warning : listing.warnings) {
    w.StartObject();
    w.Key("code");
    w.String(fsCodeName(warning.code));
    w.Key("path");
    text(d88::shiftJisToUtf8(warning.path, d88::Undecodable::REPLACE));
    w.Key("a");
    w.Int64(warning.a);
    w.Key("b");
    w.Int64(warning.b);
    w.EndObject();
  }
  w.EndArray();
}

}  // namespace d88fs

#endif  // FS_LISTING_JSON_H
