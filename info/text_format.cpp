#include "info/text_format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace d88info {

std::string format(const char* fmt, ...) {
  char small[256];
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  const int needed = std::vsnprintf(small, sizeof small, fmt, args);
  va_end(args);
  std::string out;
  if (needed < 0) {
    va_end(again);
    return out;
  }
  if (static_cast<std::size_t>(needed) < sizeof small) {
    out.assign(small, static_cast<std::size_t>(needed));
  } else {
    // Longer text is written whole, never cut.
    std::vector<char> large(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(large.data(), large.size(), fmt, again);
    out.assign(large.data(), static_cast<std::size_t>(needed));
  }
  va_end(again);
  return out;
}

}  // namespace d88info
