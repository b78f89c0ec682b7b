#include "tool/console.h"

#include <clocale>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <langinfo.h>
#include <unistd.h>
#endif

void useUserLocale() {
  static const bool done = std::setlocale(LC_CTYPE, "") != nullptr;
  (void)done;
}

#ifdef _WIN32

namespace {
HANDLE consoleOf(std::FILE* stream) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}
}  // namespace

bool localeIsUtf8() { return false; }

bool isUnicodeConsole(std::FILE* stream) { return consoleOf(stream) != nullptr; }

void writeUtf8(std::FILE* stream, const std::string& text) {
  const HANDLE console = consoleOf(stream);
  if (console == nullptr || text.empty()) {
    std::fputs(text.c_str(), stream);
    return;
  }
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (wide <= 0) {
    std::fputs(text.c_str(), stream);
    return;
  }
  std::wstring converted(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &converted[0], wide);
  // What stdio holds goes first, so the lines keep their order.
  std::fflush(stream);
  DWORD written = 0;
  WriteConsoleW(console, converted.data(), static_cast<DWORD>(converted.size()), &written, nullptr);
}

#else

bool localeIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

bool isUnicodeConsole(std::FILE* stream) { return isatty(fileno(stream)) == 1 && localeIsUtf8(); }

void writeUtf8(std::FILE* stream, const std::string& text) { std::fputs(text.c_str(), stream); }

#endif
