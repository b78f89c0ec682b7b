// printf into a std::string, for the inspection's words and the text view.
#ifndef INFO_TEXT_FORMAT_H
#define INFO_TEXT_FORMAT_H

#include <string>

namespace d88info {

#if defined(__MINGW32__)
// mingw-w64 builds use the C99 printf (%zu, %lld), not the system one.
#define D88INFO_PRINTF(a, b) __attribute__((format(gnu_printf, a, b)))
#elif defined(__GNUC__)
#define D88INFO_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define D88INFO_PRINTF(a, b)
#endif

// The whole text, however long.
std::string format(const char* fmt, ...) D88INFO_PRINTF(1, 2);

}  // namespace d88info

#endif  // INFO_TEXT_FORMAT_H
