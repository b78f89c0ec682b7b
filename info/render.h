// Views of an inspection report: text for people, JSON for programs. Both
// only show what inspect() found.
#ifndef INFO_RENDER_H
#define INFO_RENDER_H

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "info/analysis.h"

namespace d88info {

struct TextOptions {
  bool tracks = false;   // one line per track
  bool sectors = false;  // one line per sector
};

// The report as ASCII text: the verdict line, then a block per disk with its
// warnings, then the image's own warnings.
std::string renderText(const Report& report, const TextOptions& options);

// JSON values whose objects keep their fields in the order written, so the
// document reads in the order the manual gives; they also cost one
// allocation an object, not one a field, which matters for every sector.
using Json = nlohmann::ordered_json;

// The report as one element of the JSON document's "images" array.
Json toJson(const Report& report);
// {"d88info": 1, "images": [...]}, as text.
std::string renderJson(const std::vector<Json>& images);

}  // namespace d88info

#endif  // INFO_RENDER_H
