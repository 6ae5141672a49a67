#include "platform/terminal/key_decoder.h"

#include <algorithm>
#include <array>

#include "platform/terminal/cp437.h"

namespace torvex {
namespace {

// Bytes of one sequence arrive in one write; waiting longer than this for the
// rest means the sender broke off, and the partial sequence is dropped.
constexpr int kSequenceTimeoutMs = 100;

// Parameters of a CSI sequence: up to kFields fields separated by ';', each with
// up to kSubFields sub-fields separated by ':'. Missing values read as 0.
constexpr size_t kFields = 4, kSubFields = 3;
using Fields = std::array<std::array<uint32_t, kSubFields>, kFields>;

Fields ParseFields(const std::string& params, size_t* count) {
  Fields f{};
  size_t field = 0, sub = 0;
  *count = params.empty() ? 0 : 1;
  for (char c : params) {
    if (c == ';') {
      ++field;
      sub = 0;
      if (field < kFields) *count = field + 1;
    } else if (c == ':') {
      ++sub;
    } else if (c >= '0' && c <= '9' && field < kFields && sub < kSubFields) {
      uint32_t& v = f[field][sub];
      // Saturate well above every meaningful value (Unicode ends at 0x10FFFF).
      v = std::min<uint32_t>(v * 10 + static_cast<uint32_t>(c - '0'), 100000000);
    }
  }
  return f;
}

// The xterm modifier parameter: 1 + bit set (1 Shift, 2 Alt, 4 Ctrl, 8 Super,
// 32 Meta, 64 Caps Lock, 128 Num Lock). Meta counts as Alt; the lock keys and
// Super have no column in the key table.
uint8_t ModsOf(uint32_t param) {
  if (param == 0) return 0;
  const uint32_t bits = param - 1;
  uint8_t mods = 0;
  if (bits & 1) mods |= kShift;
  if (bits & (2 | 32)) mods |= kAlt;
  if (bits & 4) mods |= kCtrl;
  return mods;
}

struct UsPair {
  char plain, shifted;
  uint16_t vk;
};
constexpr UsPair kPunctuation[] = {
    {';', ':', vk::kSemicolon},    {'=', '+', vk::kEquals},      {',', '<', vk::kComma},
    {'-', '_', vk::kMinus},        {'.', '>', vk::kPeriod},      {'/', '?', vk::kSlash},
    {'`', '~', vk::kBackquote},    {'[', '{', vk::kLeftBracket}, {'\\', '|', vk::kBackslash},
    {']', '}', vk::kRightBracket}, {'\'', '"', vk::kQuote}};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// The US key for printable ASCII `c`; *shifted tells whether Shift makes it.
uint16_t UsKey(unsigned char c, bool* shifted) {
  *shifted = false;
  if (c >= 'a' && c <= 'z') return static_cast<uint16_t>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') {
    *shifted = true;
    return c;
  }
  if (c >= '0' && c <= '9') return c;
  if (c == ' ') return vk::kSpace;
  for (int d = 0; d < 10; ++d) {
    if (kShiftedDigits[d] == c) {
      *shifted = true;
      return static_cast<uint16_t>('0' + d);
    }
  }
  for (const auto& p : kPunctuation) {
    if (p.plain == c) return p.vk;
    if (p.shifted == c) {
      *shifted = true;
      return p.vk;
    }
  }
  return vk::kNone;
}

// The character Shift makes of unshifted printable ASCII `c` on a US keyboard.
unsigned char UsShifted(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= '0' && c <= '9') return static_cast<unsigned char>(kShiftedDigits[c - '0']);
  for (const auto& p : kPunctuation) {
    if (p.plain == static_cast<char>(c)) return static_cast<unsigned char>(p.shifted);
  }
  return c;
}

// Keys of "CSI <n> ~" (xterm, vt220, rxvt, linux console). Returns kNone for
// numbers that name no key; *mods gets modifiers a number implies (rxvt reports
// Shift+F3..F10 as F13..F20).
uint16_t TildeKey(uint32_t n, uint8_t* mods) {
  *mods = 0;
  switch (n) {
    case 1:
    case 7:
      return vk::kHome;
    case 2:
      return vk::kInsert;
    case 3:
      return vk::kDelete;
    case 4:
    case 8:
      return vk::kEnd;
    case 5:
      return vk::kPrior;
    case 6:
      return vk::kNext;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
      return static_cast<uint16_t>(vk::kF1 + (n - 11));
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
      return static_cast<uint16_t>(vk::kF1 + 5 + (n - 17));
    case 23:
      return vk::kF1 + 10;
    case 24:
      return vk::kF1 + 11;
    case 25:
    case 26:
      *mods = kShift;
      return static_cast<uint16_t>(vk::kF1 + 2 + (n - 25));
    case 28:
    case 29:
      *mods = kShift;
      return static_cast<uint16_t>(vk::kF1 + 4 + (n - 28));
    case 31:
    case 32:
    case 33:
    case 34:
      *mods = kShift;
      return static_cast<uint16_t>(vk::kF1 + 6 + (n - 31));
    default:
      return vk::kNone;
  }
}

// Keys of "CSI [1;m] <letter>" and "SS3 <letter>".
uint16_t LetterKey(int final) {
  switch (final) {
    case 'A':
      return vk::kUp;
    case 'B':
      return vk::kDown;
    case 'C':
      return vk::kRight;
    case 'D':
      return vk::kLeft;
    case 'H':
      return vk::kHome;
    case 'F':
      return vk::kEnd;
    case 'E':
      return vk::kClear;  // keypad 5 without Num Lock
    case 'P':
      return vk::kF1;
    case 'Q':
      return vk::kF1 + 1;
    case 'R':
      return vk::kF1 + 2;
    case 'S':
      return vk::kF1 + 3;
    default:
      return vk::kNone;
  }
}

// The kitty protocol's private-use code points for the keypad.
struct KittyKey {
  uint16_t vk;
  uint8_t ch;
};
constexpr uint32_t kKittyKeypadFirst = 57399, kKittyKeypadLast = 57427;
constexpr KittyKey kKittyKeypad[] = {
    {vk::kNumpad0, '0'},     {vk::kNumpad0 + 1, '1'}, {vk::kNumpad0 + 2, '2'},
    {vk::kNumpad0 + 3, '3'}, {vk::kNumpad0 + 4, '4'}, {vk::kNumpad0 + 5, '5'},
    {vk::kNumpad0 + 6, '6'}, {vk::kNumpad0 + 7, '7'}, {vk::kNumpad0 + 8, '8'},
    {vk::kNumpad0 + 9, '9'}, {vk::kDecimal, '.'},     {vk::kDivide, '/'},
    {vk::kMultiply, '*'},    {vk::kSubtract, '-'},    {vk::kAdd, '+'},
    {vk::kNumpadEnter, 13},  {vk::kNone, '='},        {vk::kNone, ','},
    {vk::kLeft, 0},          {vk::kRight, 0},         {vk::kUp, 0},
    {vk::kDown, 0},          {vk::kPrior, 0},         {vk::kNext, 0},
    {vk::kHome, 0},          {vk::kEnd, 0},           {vk::kInsert, 0},
    {vk::kDelete, 0},        {vk::kClear, 0}};
static_assert(std::size(kKittyKeypad) == kKittyKeypadLast - kKittyKeypadFirst + 1);

}  // namespace

int KeyDecoder::ReadByte(int timeoutMs) {
  if (!pushback_.empty()) {
    const int b = pushback_.front();
    pushback_.pop_front();
    return b;
  }
  return source_.Read(timeoutMs);
}

bool KeyDecoder::Next(KeyEvent* event, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  for (;;) {
    if (!queue_.empty()) {
      *event = queue_.front();
      queue_.pop_front();
      return true;
    }
    int wait = timeoutMs;
    if (timeoutMs > 0) {
      const auto spent =
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
      wait = static_cast<int>(std::max<long long>(0, timeoutMs - spent));
    }
    const int b = ReadByte(wait);
    if (b < 0) return false;
    DecodeFrom(b);
  }
}

void KeyDecoder::DecodeFrom(int byte) {
  // Remembered only for the LF of a pasted CR LF.
  if (byte != '\r' && byte != '\n') pasteAfterCr_ = false;
  if (byte != 0x1B) {
    DecodeSingle(byte, 0);
    return;
  }
  if (!inPaste_) {
    DecodeEscape();
    return;
  }
  // Inside a paste an escape sequence can only end the paste; whatever else it
  // would decode to is not typed text.
  const size_t before = queue_.size();
  DecodeEscape();
  queue_.resize(before);
}

void KeyDecoder::DecodeEscape() {
  const int b = ReadByte(escTimeoutMs_);
  if (b < 0) {
    Emit(vk::kEscape, 0, 27);
  } else if (b == '[') {
    DecodeCsi(0);
  } else if (b == 'O') {
    DecodeSs3(0);
  } else if (b == 0x1B) {
    // Esc Esc: an Alt-prefixed sequence (rxvt's Alt+Up is Esc Esc [ A), or Esc
    // pressed twice, the second one possibly the Alt prefix of what follows.
    const int c = ReadByte(escTimeoutMs_);
    if (c == '[') {
      DecodeCsi(kAlt);
    } else if (c == 'O') {
      DecodeSs3(kAlt);
    } else {
      Emit(vk::kEscape, 0, 27);
      if (c >= 0) Unread(c);
      Unread(0x1B);
    }
  } else {
    DecodeSingle(b, kAlt);
  }
}

void KeyDecoder::DecodeSingle(int byte, uint8_t extraMods) {
  const auto b = static_cast<unsigned char>(byte);
  if (b >= 0x80) {
    DecodeUtf8Char(b, inPaste_ ? 0 : extraMods);
    return;
  }
  if (inPaste_) {
    if (b == '\r') {
      Emit(vk::kReturn, 0, 13);
      pasteAfterCr_ = true;
    } else if (b == '\n') {
      if (!pasteAfterCr_) Emit(vk::kReturn, 0, 13);
      pasteAfterCr_ = false;
    } else if (b == '\t') {
      Emit(vk::kTab, 0, 9);
    } else if (b >= 0x20 && b < 0x7F) {
      bool shifted;
      const uint16_t key = UsKey(b, &shifted);
      Emit(key, shifted ? kShift : 0, b);
    }
    return;
  }
  switch (b) {
    case 0x00:
      Emit(vk::kSpace, kCtrl | extraMods, 0);
      return;
    case 0x08:
    case 0x7F:
      Emit(vk::kBack, extraMods, 8);
      return;
    case 0x09:
      Emit(vk::kTab, extraMods, 9);
      return;
    case 0x0A:
      Emit(vk::kReturn, kCtrl | extraMods, 10);
      return;
    case 0x0D:
      Emit(vk::kReturn, extraMods, 13);
      return;
    case 0x1B:
      Emit(vk::kEscape, extraMods, 27);
      return;
    case 0x1C:
      Emit(vk::kBackslash, kCtrl | extraMods, b);
      return;
    case 0x1D:
      Emit(vk::kRightBracket, kCtrl | extraMods, b);
      return;
    case 0x1E:
      Emit('6', kCtrl | extraMods, b);
      return;
    case 0x1F:
      Emit(vk::kMinus, kCtrl | extraMods, b);
      return;
    default:
      break;
  }
  if (b < 0x20) {
    Emit(static_cast<uint16_t>('A' + b - 1), kCtrl | extraMods, b);
    return;
  }
  bool shifted;
  const uint16_t key = UsKey(b, &shifted);
  Emit(key, static_cast<uint8_t>((shifted ? kShift : 0) | extraMods), b);
}

void KeyDecoder::DecodeUtf8Char(int lead, uint8_t extraMods) {
  size_t len;
  if (lead >= 0xC0 && lead < 0xE0) {
    len = 2;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    len = 3;
  } else if (lead >= 0xF0 && lead < 0xF8) {
    len = 4;
  } else {
    return;  // a stray continuation byte or no UTF-8 at all
  }
  char buf[4] = {static_cast<char>(lead)};
  for (size_t i = 1; i < len; ++i) {
    const int c = ReadByte(kSequenceTimeoutMs);
    if (c < 0) return;
    if ((c & 0xC0) != 0x80) {
      Unread(c);  // the start of whatever comes next
      return;
    }
    buf[i] = static_cast<char>(c);
  }
  char32_t cp;
  if (DecodeUtf8(std::string_view(buf, len), &cp) != len) return;
  const int code = UnicodeToCp437(cp);
  if (code >= 0) Emit(vk::kNone, extraMods, static_cast<uint8_t>(code));
}

void KeyDecoder::DecodeCsi(uint8_t extraMods) {
  int b = ReadByte(escTimeoutMs_);
  if (b < 0) {
    // Esc [ and nothing more: Alt+[ typed by hand.
    Emit(vk::kLeftBracket, kAlt, '[');
    return;
  }
  if (b == '[') {
    const int c = ReadByte(kSequenceTimeoutMs);
    if (c >= 'A' && c <= 'E') {
      Emit(static_cast<uint16_t>(vk::kF1 + (c - 'A')), extraMods, 0);
    } else if (c == 0x1B) {
      Unread(c);
    }
    return;
  }
  char prefix = 0;
  if (b >= 0x3C && b <= 0x3F) {  // < = > ?
    prefix = static_cast<char>(b);
    b = ReadByte(kSequenceTimeoutMs);
  }
  std::string params;
  char intermediate = 0;
  size_t length = 0;
  bool tooLong = false;
  for (;; b = ReadByte(kSequenceTimeoutMs)) {
    if (b < 0) return;  // broken off: dropped
    if (++length > kMaxSequenceBytes) tooLong = true;
    if (b >= 0x30 && b <= 0x3F) {
      if (!tooLong) params += static_cast<char>(b);
    } else if (b == '$' && prefix == 0 && intermediate == 0) {
      break;  // rxvt's Shift forms end in '$', which ECMA-48 calls an intermediate
    } else if (b >= 0x20 && b <= 0x2F) {
      intermediate = static_cast<char>(b);
    } else if (b >= 0x40 && b <= 0x7E) {
      break;
    } else {
      // Not a sequence after all; an Esc here starts the next one.
      if (b == 0x1B) Unread(b);
      return;
    }
  }
  if (tooLong) return;
  if (b == 'M' && prefix == 0 && params.empty() && intermediate == 0) {
    // X10 mouse report: three raw bytes follow.
    for (int i = 0; i < 3; ++i) {
      if (ReadByte(kSequenceTimeoutMs) < 0) break;
    }
    return;
  }
  DispatchCsi(prefix, params, intermediate, static_cast<char>(b), extraMods);
}

void KeyDecoder::DispatchCsi(char prefix, const std::string& params, char intermediate, char final,
                             uint8_t extraMods) {
  // Private prefixes are replies and mouse reports, never keys.
  if (prefix != 0 || intermediate != 0) return;
  size_t count;
  const Fields f = ParseFields(params, &count);
  // kitty's event type (1 press, 2 repeat, 3 release) is the second sub-field of
  // the modifiers; releases are only sent when asked for, but never count.
  if (f[1][1] == 3) return;
  const uint8_t mods = static_cast<uint8_t>(ModsOf(f[1][0]) | extraMods);
  switch (final) {
    case '~': {
      const uint32_t n = f[0][0];
      if (n == 200) {
        inPaste_ = true;
      } else if (n == 201) {
        inPaste_ = false;
      } else if (n == 27) {
        // modifyOtherKeys: CSI 27 ; mods ; code ~
        EmitCodePoint(f[2][0], mods, 0);
      } else {
        uint8_t implied;
        const uint16_t key = TildeKey(n, &implied);
        if (key != vk::kNone) Emit(key, mods | implied, 0);
      }
      return;
    }
    case 'u':
      EmitCodePoint(f[0][0], mods, f[0][1]);
      return;
    case '$':
    case '^':
    case '@': {
      // rxvt: '$' Shift, '^' Ctrl, '@' Ctrl+Shift.
      uint8_t implied;
      const uint16_t key = TildeKey(f[0][0], &implied);
      const uint8_t rxvt = final == '$' ? kShift : final == '^' ? kCtrl : (kCtrl | kShift);
      if (key != vk::kNone) Emit(key, static_cast<uint8_t>(implied | rxvt | extraMods), 0);
      return;
    }
    case 'a':
    case 'b':
    case 'c':
    case 'd':  // rxvt's Shift+arrows
      Emit(LetterKey(final - 'a' + 'A'), kShift | extraMods, 0);
      return;
    case 'Z':
      Emit(vk::kTab, mods | kShift, 9);
      return;
    default: {
      const uint16_t key = LetterKey(final);
      if (key != vk::kNone) Emit(key, mods, 0);
      return;
    }
  }
}

void KeyDecoder::DecodeSs3(uint8_t extraMods) {
  int b = ReadByte(escTimeoutMs_);
  if (b < 0) {
    Emit('O', kAlt | kShift, 'O');  // Esc O typed by hand: Alt+Shift+O
    return;
  }
  // Some terminals put a modifier between O and the final byte (Esc O 5 P).
  std::string params;
  while ((b >= '0' && b <= '9') || b == ';') {
    if (params.size() < 16) params += static_cast<char>(b);
    b = ReadByte(kSequenceTimeoutMs);
  }
  if (b < 0) return;
  if (b < 0x20 || b > 0x7E) {
    if (b == 0x1B) Unread(b);
    return;
  }
  size_t count;
  const Fields f = ParseFields(params, &count);
  const uint8_t mods = static_cast<uint8_t>((count > 0 ? ModsOf(f[count - 1][0]) : 0) | extraMods);
  if (b >= 'p' && b <= 'y') {
    Emit(static_cast<uint16_t>(vk::kNumpad0 + (b - 'p')), mods,
         static_cast<uint8_t>(b - 'p' + '0'));
    return;
  }
  switch (b) {
    case 'M':
      Emit(vk::kNumpadEnter, mods, 13);
      return;
    case 'j':
      Emit(vk::kMultiply, mods, '*');
      return;
    case 'k':
      Emit(vk::kAdd, mods, '+');
      return;
    case 'l':
      Emit(vk::kNone, mods, ',');
      return;
    case 'm':
      Emit(vk::kSubtract, mods, '-');
      return;
    case 'n':
      Emit(vk::kDecimal, mods, '.');
      return;
    case 'o':
      Emit(vk::kDivide, mods, '/');
      return;
    case 'X':
      Emit(vk::kNone, mods, '=');
      return;
    case 'I':
      Emit(vk::kTab, mods, 9);
      return;
    case ' ':
      Emit(vk::kSpace, mods, ' ');
      return;
    case 'a':
    case 'b':
    case 'c':
    case 'd':  // rxvt's Ctrl+arrows
      Emit(LetterKey(b - 'a' + 'A'), mods | kCtrl, 0);
      return;
    default: {
      const uint16_t key = LetterKey(b);
      if (key != vk::kNone) Emit(key, mods, 0);
      return;
    }
  }
}

void KeyDecoder::EmitCodePoint(uint32_t cp, uint8_t mods, uint32_t shifted) {
  switch (cp) {
    case 9:
      Emit(vk::kTab, mods, 9);
      return;
    case 13:
      Emit(vk::kReturn, mods, (mods & kCtrl) ? 10 : 13);
      return;
    case 27:
      Emit(vk::kEscape, mods, 27);
      return;
    case 8:
    case 127:
      Emit(vk::kBack, mods, (mods & kCtrl) ? 127 : 8);
      return;
    default:
      break;
  }
  if (cp >= kKittyKeypadFirst && cp <= kKittyKeypadLast) {
    const KittyKey& k = kKittyKeypad[cp - kKittyKeypadFirst];
    Emit(k.vk, mods, k.ch);
    return;
  }
  if (cp < 0x20) {
    // A control character reported as a code: the same key as the raw byte.
    const size_t before = queue_.size();
    DecodeSingle(static_cast<int>(cp), 0);
    for (size_t i = before; i < queue_.size(); ++i) queue_[i].mods |= mods;
    return;
  }
  if (cp < 0x7F) {
    bool isShifted;
    const uint16_t key = UsKey(static_cast<unsigned char>(cp), &isShifted);
    auto ch = static_cast<uint8_t>(cp);
    if (isShifted) mods |= kShift;
    if ((mods & kShift) && !isShifted) {
      ch = (shifted > 0 && shifted < 0x7F) ? static_cast<uint8_t>(shifted) : UsShifted(ch);
    }
    if ((mods & kCtrl) && key >= 'A' && key <= 'Z') ch = static_cast<uint8_t>(key - 'A' + 1);
    Emit(key, mods, ch);
    return;
  }
  // The rest of kitty's private-use block (lock keys, F13 and up, media and
  // modifier keys) has no row in the key table; other private-use and
  // non-characters have no glyph.
  if (cp >= 0xE000 && cp <= 0xF8FF) return;
  if (cp > 0x10FFFF) return;
  const uint32_t typed = ((mods & kShift) && shifted >= 0x80) ? shifted : cp;
  const int code = UnicodeToCp437(static_cast<char32_t>(typed));
  if (code >= 0) Emit(vk::kNone, mods, static_cast<uint8_t>(code));
}

std::vector<KeyEvent> DecodeKeys(std::string_view bytes) {
  StringByteSource source(bytes);
  KeyDecoder decoder(source, 0);
  std::vector<KeyEvent> events;
  KeyEvent e;
  while (decoder.Next(&e, 0)) events.push_back(e);
  return events;
}

}  // namespace torvex
