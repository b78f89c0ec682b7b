#include <cstdio>

#include "info/render.h"

namespace d88info {
namespace {

using json = Json;

// Bytes below 0x80 as themselves (the document escapes control bytes as
// \u00XX) and every other byte as the code point of the same number, which
// the document also writes as \u00XX: nothing is lost.
std::string latin1(const unsigned char* bytes, std::size_t size) {
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = bytes[i];
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string hex(const unsigned char* bytes, std::size_t size) {
  std::string out;
  char cell[3];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(cell, sizeof cell, "%02X", bytes[i]);
    out += cell;
  }
  return out;
}

json warnings(const std::vector<Warning>& list) {
  json out = json::array();
  for (const Warning& w : list) {
    out.push_back({{"code", codeName(w.code)},
                   {"count", w.count},
                   {"tracks", w.tracks},
                   {"track", w.track >= 0 ? json(w.track) : json(nullptr)},
                   {"record", w.record > 0 ? json(w.record) : json(nullptr)},
                   {"text", w.text}});
  }
  return out;
}

json file(const FileCheck& f, const std::vector<int>& records) {
  json out = {{"name", f.name}, {"size", f.size}, {"state", f.whole ? "whole" : f.cut ? "incomplete" : "not cut"}};
  if (!f.whole && f.track >= 0) {
    out["track"] = f.track;
    out["c"] = f.c;
    out["h"] = f.h;
    out["r"] = f.r;
    out["why"] = f.missing ? "missing" : "short";
  }
  json sectors = json::array();
  for (std::size_t i = 0; i < f.sectors.size(); ++i) {
    const SectorPlace& s = f.sectors[i];
    const int record = i < records.size() ? records[i] : 0;
    sectors.push_back({{"track", s.track},
                       {"c", s.c},
                       {"h", s.h},
                       {"r", s.r},
                       {"record", record > 0 ? json(record) : json(nullptr)}});
  }
  out["sectors"] = std::move(sectors);
  return out;
}

json track(const Track& t) {
  json out = {{"track", t.index}, {"entry", t.entry}, {"offset", t.offset >= 0 ? json(t.offset) : json(nullptr)}};
  if (t.sameAs >= 0) {
    out["same_as"] = t.sameAs;
    return out;
  }
  out["empty"] = t.empty;
  json sectors = json::array();
  for (const Sector& s : t.sectors) {
    sectors.push_back({{"c", s.c},
                       {"h", s.h},
                       {"r", s.r},
                       {"n", s.n},
                       {"size", s.size},
                       {"deleted", s.deleted != 0},
                       {"status", s.status},
                       {"kind", kindName(s.kind)}});
  }
  out["sectors"] = std::move(sectors);
  return out;
}

json disk(const Disk& d) {
  json out = {{"number", d.number}, {"offset", d.offset >= 0 ? json(d.offset) : json(nullptr)}};
  if (!d.headerRead) {
    out["warnings"] = warnings(d.warnings);
    return out;
  }
  out["name"] = latin1(d.nameBytes, static_cast<std::size_t>(d.nameLength));
  out["name_hex"] = hex(d.nameBytes, static_cast<std::size_t>(d.nameLength));
  out["media"] = d.media;
  out["media_type"] = d.mediaType != nullptr ? json(d.mediaType) : json(nullptr);
  out["write_protect"] = d.writeProtect == 0x10;
  out["disk_size"] = d.size;
  out["geometry"] = d.geometry;
  out["known"] = d.known == Known::SYSTEM ? json("system") : d.known == Known::MAKER ? json("maker") : json(nullptr);
  json files = json::array();
  for (std::size_t i = 0; i < d.files.size(); ++i) {
    files.push_back(file(d.files[i], i < d.fileRecords.size() ? d.fileRecords[i] : std::vector<int>()));
  }
  out["files"] = std::move(files);
  json tracks = json::array();
  for (const Track& t : d.tracks) tracks.push_back(track(t));
  out["tracks"] = std::move(tracks);
  out["warnings"] = warnings(d.warnings);
  return out;
}

}  // namespace

json toJson(const Report& report) {
  json out = {{"path", report.path}, {"size", report.size}, {"d88", report.d88}, {"verdict", report.verdict}};
  if (!report.d88) out["reason"] = report.notD88;
  json disks = json::array();
  for (const Disk& d : report.disks) disks.push_back(disk(d));
  out["disks"] = std::move(disks);
  out["warnings"] = warnings(report.warnings);
  return out;
}

std::string renderJson(const std::vector<json>& images) {
  const json document = {{"d88info", 1}, {"images", images}};
  // Compact, ASCII only, and a path that is no UTF-8 still gives a valid
  // document.
  return document.dump(-1, ' ', true, json::error_handler_t::replace) + "\n";
}

}  // namespace d88info
