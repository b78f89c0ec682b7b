#include "info/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace d88info {

std::string format(const char* fmt, ...) {
  char text[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(text, sizeof text, fmt, args);
  va_end(args);
  return text;
}

}  // namespace d88info
