#include "d88/shift_jis.h"

namespace d88 {
namespace {

constexpr int LEAD_COUNT = 60;    // 0x81-0x9F, 0xE0-0xFC
constexpr int TRAIL_COUNT = 188;  // 0x40-0x7E, 0x80-0xFC

const std::uint16_t TABLE[LEAD_COUNT * TRAIL_COUNT] = {
#include "d88/shift_jis_table.inc"
};

int leadIndex(unsigned char b) {
  if (b >= 0x81 && b <= 0x9F) return b - 0x81;
  if (b >= 0xE0 && b <= 0xFC) return b - 0xE0 + 31;
  return -1;
}

int trailIndex(unsigned char b) {
  if (b >= 0x40 && b <= 0x7E) return b - 0x40;
  if (b >= 0x80 && b <= 0xFC) return b - 0x80 + 63;
  return -1;
}

}  // namespace

const char* textEncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::ASCII: return "ascii";
    case TextEncoding::SHIFT_JIS: return "shift_jis";
    case TextEncoding::UNDECODABLE: return "undecodable";
  }
  return "";
}

int decodeShiftJis(const unsigned char* bytes, std::size_t size, std::uint32_t& code) {
  code = 0;
  if (size == 0) return 0;
  const unsigned char b = bytes[0];
  if (b < 0x80) {
    code = b;
    return 1;
  }
  if (b >= 0xA1 && b <= 0xDF) {
    code = 0xFF61 + (b - 0xA1u);
    return 1;
  }
  const int lead = leadIndex(b);
  if (lead < 0 || size < 2) return 1;
  const int trail = trailIndex(bytes[1]);
  if (trail < 0) return 1;
  code = TABLE[lead * TRAIL_COUNT + trail];
  return code != 0 ? 2 : 1;
}

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string shiftJisToUtf8(const unsigned char* bytes, std::size_t size, Undecodable how, TextEncoding* found) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  bool wide = false, broken = false;
  for (std::size_t i = 0; i < size;) {
    std::uint32_t code = 0;
    const int taken = decodeShiftJis(bytes + i, size - i, code);
    if (code == 0 && bytes[i] != 0) {
      broken = true;
      if (how == Undecodable::REPLACE) {
        appendUtf8(out, 0xFFFD);
      } else {
        out += "\\x";
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0xF];
      }
      ++i;
      continue;
    }
    wide = wide || code >= 0x80;
    if (how == Undecodable::ESCAPE && (code < 0x20 || code == 0x7F)) {
      out += "\\x";
      out += digits[code >> 4];
      out += digits[code & 0xF];
    } else if (how == Undecodable::ESCAPE && (code == '"' || code == '\\')) {
      out += '\\';
      out += static_cast<char>(code);
    } else {
      appendUtf8(out, code);
    }
    i += static_cast<std::size_t>(taken);
  }
  if (found != nullptr) {
    *found = broken ? TextEncoding::UNDECODABLE : wide ? TextEncoding::SHIFT_JIS : TextEncoding::ASCII;
  }
  return out;
}

}  // namespace d88
