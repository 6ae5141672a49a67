#include "platform/terminal/cp437.h"

#include <algorithm>
#include <array>
#include <utility>

namespace torvex {
namespace {

constexpr std::array<char16_t, 32> kLow = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};

constexpr std::array<char16_t, 128> kHigh = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// Unicode -> CP437 for the upper half and the low glyphs, sorted by code point.
struct Reverse {
  std::array<std::pair<char32_t, uint8_t>, 128 + 31 + 1> map{};
  Reverse() {
    size_t n = 0;
    for (int i = 0; i < 128; ++i) map[n++] = {kHigh[i], static_cast<uint8_t>(128 + i)};
    for (int i = 1; i < 32; ++i) map[n++] = {kLow[i], static_cast<uint8_t>(i)};
    map[n++] = {0x2302, 127};
    std::sort(map.begin(), map.end());
  }
};

const Reverse& ReverseMap() {
  static const Reverse reverse;
  return reverse;
}

}  // namespace

char32_t Cp437Glyph(uint8_t ch) {
  if (ch < 32) return kLow[ch];
  if (ch == 127) return 0x2302;
  if (ch < 128) return ch;
  return kHigh[ch - 128];
}

int UnicodeToCp437(char32_t cp) {
  if (cp < 128) return static_cast<int>(cp);
  // Common look-alikes that keyboards produce for the code page's Greek letters.
  if (cp == 0x03B2) return 0xE1;  // beta -> sharp s
  if (cp == 0x03BC) return 0xE6;  // mu -> micro
  const auto& m = ReverseMap().map;
  auto it = std::lower_bound(m.begin(), m.end(), std::pair<char32_t, uint8_t>{cp, 0});
  if (it != m.end() && it->first == cp) return it->second;
  return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Cp437ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 128) {
      out += static_cast<char>(c);
    } else {
      AppendUtf8(out, kHigh[c - 128]);
    }
  }
  return out;
}

size_t DecodeUtf8(std::string_view text, char32_t* cp) {
  if (text.empty()) return 0;
  const auto b0 = static_cast<unsigned char>(text[0]);
  size_t len;
  char32_t value;
  if (b0 < 0x80) {
    *cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    value = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    value = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    value = b0 & 0x07;
  } else {
    *cp = 0xFFFD;
    return 1;
  }
  if (text.size() < len) {
    *cp = 0xFFFD;
    return 1;
  }
  for (size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if ((b & 0xC0) != 0x80) {
      *cp = 0xFFFD;
      return 1;
    }
    value = (value << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kMin[len] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    *cp = 0xFFFD;
    return 1;
  }
  *cp = value;
  return len;
}

std::string Utf8ToCp437(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    char32_t cp;
    size_t n = DecodeUtf8(text, &cp);
    text.remove_prefix(n);
    int c = UnicodeToCp437(cp);
    if (c >= 0) out += static_cast<char>(c);
  }
  return out;
}

}  // namespace torvex
