// Shift-JIS as the Japanese machines of the D88 format, and Windows' code
// page 932, write it: ASCII, JIS X 0201 half-width katakana (0xA1-0xDF),
// JIS X 0208 in two bytes and the vendor extensions of code page 932. Disk
// names, file names on the disks, and d88cut's own messages are Shift-JIS.
// One decoder, from a table generated once (make_shift_jis_table.py), so
// that every platform and the browser decode alike, without iconv.
#ifndef D88_SHIFT_JIS_H
#define D88_SHIFT_JIS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace d88 {

// What a run of bytes turned out to be.
enum class TextEncoding {
  ASCII,        // every byte below 0x80
  SHIFT_JIS,    // every character decodes, some of them beyond ASCII
  UNDECODABLE,  // some byte is no Shift-JIS character
};
// "ascii", "shift_jis", "undecodable".
const char* textEncodingName(TextEncoding encoding);

// How a byte that does not decode, or a character no terminal should be
// sent, is written.
enum class Undecodable {
  REPLACE,  // U+FFFD for a byte that does not decode; everything else as it decodes
  ESCAPE,   // \xNN for such a byte and for control characters, \" and \\ for
            // quote and backslash: what reads the same on any terminal
};

// The character at `bytes` (`size` bytes left): its code point in `code`
// and the bytes it takes (1 or 2); `code` 0 and 1 byte taken for a byte
// that starts no character.
int decodeShiftJis(const unsigned char* bytes, std::size_t size, std::uint32_t& code);

// `size` bytes of Shift-JIS as UTF-8; `found`, when given, says what they
// were.
std::string shiftJisToUtf8(const unsigned char* bytes, std::size_t size, Undecodable how,
                           TextEncoding* found = nullptr);
inline std::string shiftJisToUtf8(const std::string& bytes, Undecodable how, TextEncoding* found = nullptr) {
  return shiftJisToUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), how, found);
}

// Appends code point `code` to `out` as UTF-8.
void appendUtf8(std::string& out, std::uint32_t code);

}  // namespace d88

#endif  // D88_SHIFT_JIS_H
