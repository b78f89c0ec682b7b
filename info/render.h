// Views of an inspection report: text for people, JSON for programs. Both
// only show what inspect() found, in the words of wording.h.
#ifndef INFO_RENDER_H
#define INFO_RENDER_H

#include <cstdio>
#include <memory>
#include <string>

#include "info/analysis.h"

namespace d88info {

struct TextOptions {
  bool tracks = false;   // one line per track
  bool sectors = false;  // one line per sector
  // Disk names decoded from Shift-JIS, as UTF-8 (bytes that do not decode,
  // and control characters, as \xNN); otherwise every byte beyond
  // printable ASCII as \xNN.
  bool unicode = false;
};

// The report as text (ASCII, but for names with options.unicode): the
// verdict line, then a block per disk with its warnings, then the image's
// own warnings.
std::string renderText(const Report& report, const TextOptions& options);

// {"d88info": 1, "images": [...]}, written as it is found: each disk goes
// out as soon as it is inspected, so memory stays that of one disk.
class JsonDocument {
 public:
  // Writes to `out`, or, with nullptr, into text().
  explicit JsonDocument(std::FILE* out = nullptr);
  ~JsonDocument();
  JsonDocument(const JsonDocument&) = delete;
  JsonDocument& operator=(const JsonDocument&) = delete;

  // Inspects the image open in `reader` and writes it as the next element
  // of "images". Returns whether it is a D88 image.
  bool image(d88::D88Image& reader, const std::string& path);
  // A whole report inspected before (with its disks) as the next element.
  void image(const Report& report);
  // A file that cannot be opened: {"path", "error"}.
  void unreadable(const std::string& path, const std::string& error);
  // Closes the document; false when writing failed.
  bool finish();
  const std::string& text() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  friend std::string renderJson(const Report& report, bool tracks);
  friend std::string renderTracksJson(const Disk& disk);
};

// The one-image document of `report`, as text; without each disk's tracks
// when `tracks` is false.
std::string renderJson(const Report& report, bool tracks = true);
// The "tracks" array of `disk` alone, as text.
std::string renderTracksJson(const Disk& disk);

}  // namespace d88info

#endif  // INFO_RENDER_H
