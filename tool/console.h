// What only a console needs, for the programs' front ends: whether a stream
// is a terminal that reads UTF-8 (or a Windows console), and writing text
// there so that it reads right, whatever the code page.
#ifndef TOOL_CONSOLE_H
#define TOOL_CONSOLE_H

#include <cstdio>
#include <string>

// Takes the user's locale for the character type (setlocale(LC_CTYPE, "")),
// once; call it before the two below.
void useUserLocale();
// The locale's character set is UTF-8 (on Windows: never; a console there
// is written in UTF-16 instead).
bool localeIsUtf8();
// `stream` is a terminal that shows UTF-8 (a terminal under a UTF-8 locale)
// or a Windows console.
bool isUnicodeConsole(std::FILE* stream);
// Writes UTF-8 `text` to `stream`: as wide characters on a Windows console,
// as it is everywhere else.
void writeUtf8(std::FILE* stream, const std::string& text);

#endif  // TOOL_CONSOLE_H
