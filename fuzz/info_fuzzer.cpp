// libFuzzer target: the inspection and both of its views on the input, read
// from memory. Reports stay ASCII and bounded whatever the image holds.
#include <cstdint>
#include <string>

#include "d88/d88_image.h"
#include "fuzz_checks.h"
#include "info/analysis.h"
#include "info/render.h"
#include "info/wording.h"

using d88fuzz::fail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  d88::D88Image reader;
  if (!reader.openMemory(data, static_cast<std::int64_t>(size))) fail("openMemory refused a small input");
  const d88info::Report report = d88info::inspect(reader, "input.d88");
  const std::string text = d88info::renderText(report, {});
  const std::string listing = d88info::renderText(report, {true, true});
  const std::string json = d88info::renderJson(report);
  for (const std::string* out : {&text, &listing, &json}) {
    for (const char ch : *out) {
      if (static_cast<unsigned char>(ch) > 0x7E || (ch < 0x20 && ch != '\n')) fail("a report that is not ASCII");
    }
  }
  if (text.size() > 64 * 1024) fail("a default text report over 64 KB");
  // With names decoded: the same report, valid UTF-8, no control character
  // but the line ends.
  d88info::TextOptions unicode;
  unicode.unicode = true;
  const std::string decoded = d88info::renderText(report, unicode);
  for (std::size_t i = 0; i < decoded.size();) {
    const unsigned char b = static_cast<unsigned char>(decoded[i]);
    if (b < 0x80) {
      if (b < 0x20 && b != '\n') fail("a control character in a decoded report");
      ++i;
      continue;
    }
    const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > decoded.size()) fail("a decoded report that is not UTF-8");
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(decoded[i + k]) & 0xC0) != 0x80) fail("a decoded report that is not UTF-8");
    }
    i += length;
  }
  if (json.size() > 16 * 1024 * 1024) fail("a JSON report over 16 MB");
  const std::string verdict = d88info::verdictText(report);
  if (verdict.empty() || text.compare(0, verdict.size(), verdict) != 0) fail("no verdict first");
  return 0;
}
