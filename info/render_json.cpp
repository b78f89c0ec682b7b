#include <cstdio>
#include <cstring>
#include <string>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "d88/shift_jis.h"
#include "fs/listing_json.h"
#include "info/render.h"
#include "info/wording.h"

namespace d88info {
namespace {

// Past this much text the buffer goes out to the file.
constexpr std::size_t FLUSH_AT = 1 << 16;

// Keys and most values are ASCII and go through as they are; text that may
// hold other characters is quoted by asciiString, so the document stays
// ASCII (every other character as \uXXXX).
using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

// `bytes` as valid UTF-8: each byte that does not start a well-formed
// sequence becomes U+FFFD, so any path still gives a valid document.
std::string validUtf8(const std::string& bytes) {
  std::string out;
  const std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    std::size_t length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    bool good = length > 0 && i + length <= n && !(b == 0xC0 || b == 0xC1 || b > 0xF4);
    for (std::size_t k = 1; good && k < length; ++k) good = (static_cast<unsigned char>(bytes[i + k]) >> 6) == 0x2;
    if (good && length == 3) {
      const unsigned char c = static_cast<unsigned char>(bytes[i + 1]);
      good = !(b == 0xE0 && c < 0xA0) && !(b == 0xED && c >= 0xA0);
    }
    if (good && length == 4) {
      const unsigned char c = static_cast<unsigned char>(bytes[i + 1]);
      good = !(b == 0xF0 && c < 0x90) && !(b == 0xF4 && c >= 0x90);
    }
    if (good) {
      out.append(bytes, i, length);
      i += length;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

// Valid UTF-8 `text` as a quoted JSON string in printable ASCII: control
// characters (and DEL),
// quotes and backslashes escaped, every character past U+007F as \uXXXX
// (with surrogate pairs past U+FFFF).
std::string asciiString(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out = "\"";
  auto escape = [&](unsigned code) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += digits[(code >> shift) & 0xF];
  };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      if (b == '"' || b == '\\') {
        out += '\\';
        out += static_cast<char>(b);
      } else if (b < 0x20 || b == 0x7F) {
        escape(b);
      } else {
        out += static_cast<char>(b);
      }
      ++i;
      continue;
    }
    const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    unsigned code = b & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if (code >= 0x10000) {
      code -= 0x10000;
      escape(0xD800 + (code >> 10));
      escape(0xDC00 + (code & 0x3FF));
    } else {
      escape(code);
    }
    i += length;
  }
  return out + "\"";
}

// Writers of a sector's text: `text` and a number (0..65535) at `p`.
char* put(char* p, const char* text) {
  const std::size_t n = std::strlen(text);
  std::memcpy(p, text, n);
  return p + n;
}

char* putInt(char* p, std::uint32_t value) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) *p++ = digits[--n];
  return p;
}

const char* fitName(Fit fit) {
  switch (fit) {
    case Fit::NEGATIVE: return "negative";
    case Fit::NEXT_DISK: return "next-disk";
    case Fit::AT_END: return "at-end";
    case Fit::PAST_END: return "past-end";
    case Fit::BEFORE_END: return "before-end";
  }
  return "";
}

const char* labelName(LabelState state) {
  switch (state) {
    case LabelState::KNOWN: return "known";
    case LabelState::NO_SECTOR: return "no-sector";
    case LabelState::TOO_SHORT: return "too-short";
    case LabelState::UNIFORM: return "uniform";
    case LabelState::TEXT: return "text";
  }
  return "";
}

const char* notD88Name(NotD88::Kind kind) {
  switch (kind) {
    case NotD88::NONE: return "";
    case NotD88::TOO_SHORT: return "too-short";
    case NotD88::HEADER_UNREADABLE: return "header-unreadable";
    case NotD88::MEDIA_AND_SIZE: return "media-and-size";
    case NotD88::NOTHING_LEADS: return "nothing-leads";
    case NotD88::EMPTY_TABLE: return "empty-table";
  }
  return "";
}

}  // namespace

struct JsonDocument::Impl {
  std::FILE* output;
  bool failed = false;
  bool tracks = true;  // each disk's tracks and sectors
  rapidjson::StringBuffer buffer;
  Writer w{buffer};
  std::string done;

  explicit Impl(std::FILE* out) : output(out) {
    w.StartObject();
    key("d88info");
    w.Int(1);
    key("images");
    w.StartArray();
  }

  void flush(bool always) {
    if (!always && buffer.GetSize() < FLUSH_AT) return;
    if (output != nullptr) {
      const std::size_t size = buffer.GetSize();
      if (size > 0 && std::fwrite(buffer.GetString(), 1, size, output) != size) failed = true;
    } else {
      done.append(buffer.GetString(), buffer.GetSize());
    }
    buffer.Clear();
  }

  // A key of this document, written as it stands: keys are ASCII words
  // that need no escaping.
  template <std::size_t N>
  void key(const char (&name)[N]) {
    char quoted[N + 1];
    quoted[0] = '"';
    std::memcpy(quoted + 1, name, N - 1);
    quoted[N] = '"';
    w.RawValue(quoted, N + 1, rapidjson::kStringType);
  }
  void keyText(const char* name) { w.Key(name); }
  // Text from the image, the command line or the wording.
  void string(const std::string& text) {
    const std::string quoted = asciiString(validUtf8(text));
    w.RawValue(quoted.data(), quoted.size(), rapidjson::kStringType);
  }
  // A name of this program's own: ASCII.
  void string(const char* text) { w.String(text); }
  void integer(std::int64_t value) { w.Int64(value); }
  void intOrNull(bool present, std::int64_t value) {
    if (present) {
      w.Int64(value);
    } else {
      w.Null();
    }
  }
  void ints(const std::vector<int>& values) {
    w.StartArray();
    for (int v : values) w.Int(v);
    w.EndArray();
  }
  void layout(const std::vector<SizeCount>& sizes) {
    w.StartArray();
    for (const SizeCount& s : sizes) {
      w.StartObject();
      key("count");
      w.Int(s.count);
      key("size");
      w.Int(s.size);
      w.EndObject();
    }
    w.EndArray();
  }
  void place(const SectorPlace& s, int record) {
    placeFields(s);
    key("record");
    intOrNull(record > 0, record);
  }
  void placeFields(const SectorPlace& s) {
    key("track");
    w.Int(s.track);
    key("c");
    w.Int(s.c);
    key("h");
    w.Int(s.h);
    key("r");
    w.Int(s.r);
  }

  void warnings(const std::vector<Warning>& list) {
    w.StartArray();
    for (const Warning& warning : list) {
      const CodeInfo& info = codeInfo(warning.code);
      w.StartObject();
      key("code");
      string(info.name);
      key("count");
      integer(warning.count);
      key("tracks");
      ints(warning.tracks);
      key("track");
      intOrNull(warning.track >= 0, warning.track);
      key("record");
      intOrNull(warning.record > 0, warning.record);
      key("text");
      string(warningText(warning));
      key("values");
      w.StartObject();
      if (info.a != nullptr) {
        keyText(info.a);
        integer(warning.a);
      }
      if (info.b != nullptr) {
        keyText(info.b);
        integer(warning.b);
      }
      if (warning.hasSector) {
        key("id");
        w.StartObject();
        key("c");
        w.Int(warning.sector.c);
        key("h");
        w.Int(warning.sector.h);
        key("r");
        w.Int(warning.sector.r);
        key("n");
        w.Int(warning.sector.n);
        key("size");
        w.Int(warning.sector.size);
        w.EndObject();
      }
      if (warning.code == Code::NAME_RUNS_ON) {
        key("name_hex");
        string(d88fs::hexOf(warning.name));
        key("following_hex");
        string(d88fs::hexOf(warning.bytes));
      }
      if (warning.code == Code::MEDIA_TYPE_MISMATCH) {
        key("looks_like");
        string(d88::mediaTypeName(warning.looksLike));
        key("fullest_track");
        layout(warning.fullest);
      }
      if (warning.code == Code::DISK_SIZE_NEGATIVE) {
        key("disks");
        ints(warning.disks);
      }
      w.EndObject();
      w.EndObject();
    }
    w.EndArray();
  }

  void file(const FileCheck& f, const std::vector<int>& records, const std::vector<int>& failedRecords) {
    w.StartObject();
    key("name");
    string(f.name);
    key("size");
    w.Int(f.size);
    key("state");
    string(f.whole ? "whole" : f.cut ? "incomplete" : "not cut");
    key("text");
    string(describeFileCheck(f));
    if (!f.whole && f.track >= 0) {
      placeFields({f.track, f.c, f.h, f.r});
      key("why");
      string(f.missing ? "missing" : "short");
    }
    key("sectors");
    w.StartArray();
    for (std::size_t i = 0; i < f.sectors.size(); ++i) {
      w.StartObject();
      place(f.sectors[i], i < records.size() ? records[i] : 0);
      w.EndObject();
    }
    w.EndArray();
    key("failed");
    w.StartArray();
    for (std::size_t i = 0; i < f.failed.size(); ++i) {
      w.StartObject();
      place(f.failed[i], i < failedRecords.size() ? failedRecords[i] : 0);
      key("why");
      string(i < f.failedMissing.size() && f.failedMissing[i] ? "missing" : "short");
      w.EndObject();
    }
    w.EndArray();
    key("leftovers");
    w.StartArray();
    for (const Leftover& l : f.leftovers) {
      w.StartObject();
      key("from");
      w.Int(l.from);
      key("to");
      w.Int(l.to);
      key("sector");
      if (l.sector.track < 0) {
        w.Null();
      } else {
        w.StartObject();
        placeFields(l.sector);
        w.EndObject();
      }
      w.EndObject();
    }
    w.EndArray();
    w.EndObject();
  }

  void track(const Track& t) {
    w.StartObject();
    key("track");
    w.Int(t.index);
    key("entry");
    w.Uint(t.entry);
    key("offset");
    intOrNull(t.offset >= 0, t.offset);
    if (t.sameAs >= 0) {
      key("same_as");
      w.Int(t.sameAs);
      w.EndObject();
      return;
    }
    key("empty");
    w.Bool(t.empty);
    key("sectors");
    w.StartArray();
    // Sectors are most of the document: each is written as one piece of
    // text, the same the writer would make, without its work per field.
    for (const Sector& s : t.sectors) {
      char text[160];
      char* p = text;
      p = put(p, "{\"c\":");
      p = putInt(p, s.c);
      p = put(p, ",\"h\":");
      p = putInt(p, s.h);
      p = put(p, ",\"r\":");
      p = putInt(p, s.r);
      p = put(p, ",\"n\":");
      p = putInt(p, s.n);
      p = put(p, ",\"size\":");
      p = putInt(p, static_cast<std::uint32_t>(s.size));
      p = put(p, s.deleted != 0 ? ",\"deleted\":true,\"status\":" : ",\"deleted\":false,\"status\":");
      p = putInt(p, s.status);
      p = put(p, ",\"kind\":\"");
      p = put(p, kindName(s.kind));
      p = put(p, "\"}");
      w.RawValue(text, static_cast<std::size_t>(p - text), rapidjson::kObjectType);
    }
    w.EndArray();
    w.EndObject();
  }

  void disk(const Disk& d) {
    w.StartObject();
    key("number");
    w.Int(d.number);
    key("offset");
    intOrNull(d.offset >= 0, d.offset);
    if (!d.headerRead) {
      key("warnings");
      warnings(d.warnings);
      w.EndObject();
      return;
    }
    const std::string name(reinterpret_cast<const char*>(d.nameBytes), static_cast<std::size_t>(d.nameLength));
    d88::TextEncoding encoding = d88::TextEncoding::ASCII;
    const std::string decoded = d88::shiftJisToUtf8(name, d88::Undecodable::REPLACE, &encoding);
    key("name");
    string(decoded);
    key("name_hex");
    string(d88fs::hexOf(name));
    key("name_encoding");
    string(d88::textEncodingName(encoding));
    key("media");
    w.Int(d.media);
    key("media_type");
    if (d.mediaType != nullptr) {
      string(d.mediaType);
    } else {
      w.Null();
    }
    key("write_protect");
    w.Bool(d.writeProtect == d88::WRITE_PROTECT_ON);
    key("write_protect_byte");
    w.Int(d.writeProtect);
    key("disk_size");
    integer(d.size);
    key("fit");
    w.StartObject();
    key("kind");
    string(fitName(d.fit));
    key("bytes");
    intOrNull(d.fit != Fit::NEXT_DISK && d.fit != Fit::AT_END && d.fitBytes >= 0, d.fitBytes);
    key("text");
    string(fitText(d));
    w.EndObject();
    key("geometry");
    string(geometryText(d.geometry));
    key("cylinders");
    w.Int(d.geometry.cylinders);
    key("sides");
    w.Int(d.geometry.sides);
    key("even_slots");
    w.Bool(d.geometry.evenSlots);
    key("geometry_groups");
    w.StartArray();
    for (const GeometryGroup& g : d.geometry.groups) {
      w.StartObject();
      key("first");
      w.Int(g.first);
      key("last");
      w.Int(g.last);
      key("step");
      w.Int(g.step);
      key("kind");
      string(g.kind == GeometryGroup::SECTORS ? "sectors" : g.kind == GeometryGroup::EMPTY ? "empty" : "unreadable");
      key("layout");
      layout(g.layout);
      w.EndObject();
    }
    w.EndArray();
    key("geometry_more");
    w.Bool(d.geometry.more);
    key("known");
    if (d.known == Known::NONE) {
      w.Null();
    } else {
      string(d.known == Known::SYSTEM ? "system" : "maker");
    }
    key("label_state");
    w.StartObject();
    key("kind");
    string(labelName(d.labelState));
    key("byte");
    intOrNull(d.labelState == LabelState::UNIFORM, d.labelByte);
    key("label_hex");
    string(d88fs::hexOf(d.label));
    key("text");
    string(knownDiskText(d));
    w.EndObject();
    key("files");
    w.StartArray();
    static const std::vector<int> none;
    for (std::size_t i = 0; i < d.files.size(); ++i) {
      file(d.files[i], i < d.fileRecords.size() ? d.fileRecords[i] : none,
           i < d.failedRecords.size() ? d.failedRecords[i] : none);
    }
    w.EndArray();
    key("filesystem");
    w.StartObject();
    key("kind");
    if (d.filesystem.kind == d88fs::FsKind::NONE) {
      w.Null();
    } else {
      string(d88fs::fsName(d.filesystem.kind));
    }
    key("why");
    string(d.filesystem.why);
    d88fs::writeListing(w, d.filesystem, [this](const std::string& text) { string(text); });
    w.EndObject();
    if (tracks) {
      key("tracks");
      trackList(d);
    }
    key("warnings");
    warnings(d.warnings);
    w.EndObject();
  }

  void trackList(const Disk& d) {
    w.StartArray();
    for (const Track& t : d.tracks) {
      track(t);
      flush(false);
    }
    w.EndArray();
  }

  // The image's fields that come before its disks.
  void start(const Report& report) {
    w.StartObject();
    key("path");
    string(report.path);
    key("size");
    integer(report.size);
    key("d88");
    w.Bool(report.d88);
    if (!report.d88) {
      key("reason");
      string(notD88Text(report.notD88));
      key("not_d88");
      w.StartObject();
      key("kind");
      string(notD88Name(report.notD88.kind));
      key("media");
      w.Int(report.notD88.media);
      key("disk_size");
      integer(report.notD88.diskSize);
      key("entries");
      w.Int(report.notD88.entries);
      w.EndObject();
    }
    key("disks");
    w.StartArray();
  }

  // Those that come after them.
  void end(const Report& report) {
    w.EndArray();
    key("warnings");
    warnings(report.warnings);
    key("outcome");
    string(outcomeName(outcomeOf(report)));
    key("verdict");
    string(verdictText(report));
    w.EndObject();
    flush(false);
  }
};

JsonDocument::JsonDocument(std::FILE* out) : impl_(new Impl(out)) {}
JsonDocument::~JsonDocument() = default;

bool JsonDocument::image(d88::D88Image& reader, const std::string& path) {
  bool started = false;
  Report header;
  const auto start = [&](const Report& r) {
    impl_->start(r);
    started = true;
  };
  // The image's leading fields are known before the first disk.
  Report report = inspect(reader, path, [&](const Disk& d) {
    if (!started) {
      header.path = path;
      header.size = reader.fileSize();
      header.d88 = true;
      start(header);
    }
    impl_->disk(d);
  });
  if (!started) start(report);
  impl_->end(report);
  return report.d88;
}

void JsonDocument::image(const Report& report) {
  impl_->start(report);
  for (const Disk& d : report.disks) impl_->disk(d);
  impl_->end(report);
}

void JsonDocument::unreadable(const std::string& path, const std::string& error) {
  Impl& i = *impl_;
  i.w.StartObject();
  i.key("path");
  i.string(path);
  i.key("error");
  i.string(error);
  i.w.EndObject();
}

bool JsonDocument::finish() {
  impl_->w.EndArray();
  impl_->w.EndObject();
  impl_->buffer.Put('\n');
  impl_->flush(true);
  return !impl_->failed;
}

const std::string& JsonDocument::text() const { return impl_->done; }

std::string renderJson(const Report& report, bool tracks) {
  JsonDocument document;
  document.impl_->tracks = tracks;
  document.image(report);
  document.finish();
  return document.text();
}

std::string renderTracksJson(const Disk& disk) {
  JsonDocument::Impl impl(nullptr);
  impl.buffer.Clear();
  impl.w.Reset(impl.buffer);
  impl.trackList(disk);
  impl.flush(true);
  return impl.done;
}

}  // namespace d88info
