#include "platform/terminal/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvex {
namespace {

constexpr uint16_t F(int n) {
  return static_cast<uint16_t>(vk::kF1 + n - 1);
}
constexpr uint8_t kCS = kCtrl | kShift, kCA = kCtrl | kAlt, kAS = kAlt | kShift;

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == 0x1B) {
      out += "ESC";
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Describe(const std::vector<KeyEvent>& events) {
  std::string out;
  for (const auto& e : events) {
    char buf[48];
    snprintf(buf, sizeof buf, "{vk 0x%02X mods %d ch %d} ", e.vk, e.mods, e.ch);
    out += buf;
  }
  return out.empty() ? "(none)" : out;
}

struct Case {
  std::string bytes;
  std::vector<KeyEvent> expected;
};

void ExpectDecodes(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    const auto got = DecodeKeys(c.bytes);
    EXPECT_EQ(Describe(got), Describe(c.expected)) << "input: " << Printable(c.bytes);
  }
}

TEST(KeyDecoder, CursorAndEditingKeys) {
  ExpectDecodes({
      {"\x1b[A", {{vk::kUp, 0, 0}}},
      {"\x1b[B", {{vk::kDown, 0, 0}}},
      {"\x1bOC", {{vk::kRight, 0, 0}}},
      {"\x1bOD", {{vk::kLeft, 0, 0}}},
      {"\x1b[1;5A", {{vk::kUp, kCtrl, 0}}},
      {"\x1b[1;2D", {{vk::kLeft, kShift, 0}}},
      {"\x1b[1;3C", {{vk::kRight, kAlt, 0}}},
      {"\x1b[1;8B", {{vk::kDown, kCtrl | kAlt | kShift, 0}}},
      {"\x1b[H", {{vk::kHome, 0, 0}}},
      {"\x1b[F", {{vk::kEnd, 0, 0}}},
      {"\x1bOH", {{vk::kHome, 0, 0}}},
      {"\x1b[1~", {{vk::kHome, 0, 0}}},
      {"\x1b[4~", {{vk::kEnd, 0, 0}}},
      {"\x1b[7~", {{vk::kHome, 0, 0}}},
      {"\x1b[8~", {{vk::kEnd, 0, 0}}},
      {"\x1b[1;5H", {{vk::kHome, kCtrl, 0}}},
      {"\x1b[2~", {{vk::kInsert, 0, 0}}},
      {"\x1b[3~", {{vk::kDelete, 0, 0}}},
      {"\x1b[5~", {{vk::kPrior, 0, 0}}},
      {"\x1b[6~", {{vk::kNext, 0, 0}}},
      {"\x1b[5;2~", {{vk::kPrior, kShift, 0}}},
      {"\x1b[3;5~", {{vk::kDelete, kCtrl, 0}}},
      {"\x1b[6;3~", {{vk::kNext, kAlt, 0}}},
      {"\x1b[Z", {{vk::kTab, kShift, 9}}},
      {"\x1b[E", {{vk::kClear, 0, 0}}},
      // rxvt
      {"\x1b[2$", {{vk::kInsert, kShift, 0}}},
      {"\x1b[5^", {{vk::kPrior, kCtrl, 0}}},
      {"\x1b[3@", {{vk::kDelete, kCS, 0}}},
      {"\x1b[a", {{vk::kUp, kShift, 0}}},
      {"\x1bOd", {{vk::kLeft, kCtrl, 0}}},
      {"\x1b\x1b[A", {{vk::kUp, kAlt, 0}}},
  });
}

TEST(KeyDecoder, FunctionKeysWithModifiers) {
  ExpectDecodes({
      {"\x1bOP", {{F(1), 0, 0}}},          {"\x1bOS", {{F(4), 0, 0}}},
      {"\x1b[15~", {{F(5), 0, 0}}},        {"\x1b[17~", {{F(6), 0, 0}}},
      {"\x1b[21~", {{F(10), 0, 0}}},       {"\x1b[23~", {{F(11), 0, 0}}},
      {"\x1b[24~", {{F(12), 0, 0}}},       {"\x1b[1;2P", {{F(1), kShift, 0}}},
      {"\x1b[1;5S", {{F(4), kCtrl, 0}}},   {"\x1b[1;3Q", {{F(2), kAlt, 0}}},
      {"\x1b[15;3~", {{F(5), kAlt, 0}}},   {"\x1b[24;5~", {{F(12), kCtrl, 0}}},
      {"\x1b[19;2~", {{F(8), kShift, 0}}}, {"\x1b[13~", {{F(3), 0, 0}}},
      {"\x1bO5P", {{F(1), kCtrl, 0}}},     {"\x1b[11~", {{F(1), 0, 0}}},  // rxvt
      {"\x1b[25~", {{F(3), kShift, 0}}},                                  // rxvt Shift+F3
      {"\x1b[11^", {{F(1), kCtrl, 0}}},    {"\x1b[[A", {{F(1), 0, 0}}},   // linux console
      {"\x1b[[E", {{F(5), 0, 0}}},
  });
}

TEST(KeyDecoder, KeypadInApplicationMode) {
  ExpectDecodes({
      {"\x1bOp", {{vk::kNumpad0, 0, '0'}}},
      {"\x1bOy", {{vk::kNumpad0 + 9, 0, '9'}}},
      {"\x1bOM", {{vk::kNumpadEnter, 0, 13}}},
      {"\x1bOj", {{vk::kMultiply, 0, '*'}}},
      {"\x1bOk", {{vk::kAdd, 0, '+'}}},
      {"\x1bOm", {{vk::kSubtract, 0, '-'}}},
      {"\x1bOn", {{vk::kDecimal, 0, '.'}}},
      {"\x1bOo", {{vk::kDivide, 0, '/'}}},
  });
}

TEST(KeyDecoder, ControlBytes) {
  ExpectDecodes({
      {"\x01", {{'A', kCtrl, 1}}},
      {"\x03", {{'C', kCtrl, 3}}},
      {"\x1a", {{'Z', kCtrl, 26}}},
      {"\t", {{vk::kTab, 0, 9}}},
      {"\r", {{vk::kReturn, 0, 13}}},
      {"\n", {{vk::kReturn, kCtrl, 10}}},
      {"\x7f", {{vk::kBack, 0, 8}}},
      {"\x08", {{vk::kBack, 0, 8}}},
      {std::string(1, '\0'), {{vk::kSpace, kCtrl, 0}}},
      {"\x1c", {{vk::kBackslash, kCtrl, 0x1C}}},
      {"\x1d", {{vk::kRightBracket, kCtrl, 0x1D}}},
      {"\x1e", {{'6', kCtrl, 0x1E}}},
      {"\x1f", {{vk::kMinus, kCtrl, 0x1F}}},
  });
}

TEST(KeyDecoder, PrintableAsciiCarriesUsKeyIdentity) {
  ExpectDecodes({
      {"aZ", {{'A', 0, 'a'}, {'Z', kShift, 'Z'}}},
      {"5!", {{'5', 0, '5'}, {'1', kShift, '!'}}},
      {";:", {{vk::kSemicolon, 0, ';'}, {vk::kSemicolon, kShift, ':'}}},
      {"/?", {{vk::kSlash, 0, '/'}, {vk::kSlash, kShift, '?'}}},
      {"'\"", {{vk::kQuote, 0, '\''}, {vk::kQuote, kShift, '"'}}},
      {"`~ ", {{vk::kBackquote, 0, '`'}, {vk::kBackquote, kShift, '~'}, {vk::kSpace, 0, ' '}}},
  });
}

TEST(KeyDecoder, AltAsEscapePrefix) {
  ExpectDecodes({
      {"\x1b", {{vk::kEscape, 0, 27}}},
      {"\x1bx", {{'X', kAlt, 'x'}}},
      {"\x1bX", {{'X', kAS, 'X'}}},
      {"\x1b"
       "1",
       {{'1', kAlt, '1'}}},
      {"\x1b\x7f", {{vk::kBack, kAlt, 8}}},
      {"\x1b\r", {{vk::kReturn, kAlt, 13}}},
      {"\x1b\x01", {{'A', kCA, 1}}},
      {"\x1b\x1b", {{vk::kEscape, 0, 27}, {vk::kEscape, 0, 27}}},
      {"\x1b\x1bx", {{vk::kEscape, 0, 27}, {'X', kAlt, 'x'}}},
      {"\x1b[", {{vk::kLeftBracket, kAlt, '['}}},
      {"\x1bO", {{'O', kAS, 'O'}}},
      {"\x1b\xc3\xa9", {{vk::kNone, kAlt, 0x82}}},
  });
}

TEST(KeyDecoder, KittyKeyboardProtocol) {
  ExpectDecodes({
      {"\x1b[27u", {{vk::kEscape, 0, 27}}},
      {"\x1b[97;5u", {{'A', kCtrl, 1}}},
      {"\x1b[97;6u", {{'A', kCS, 1}}},
      {"\x1b[97;3u", {{'A', kAlt, 'a'}}},
      {"\x1b[97:65;4u", {{'A', kAS, 'A'}}},
      {"\x1b[49;5u", {{'1', kCtrl, '1'}}},
      {"\x1b[59;2u", {{vk::kSemicolon, kShift, ':'}}},
      {"\x1b[13;5u", {{vk::kReturn, kCtrl, 10}}},
      {"\x1b[127;5u", {{vk::kBack, kCtrl, 127}}},
      {"\x1b[9;2u", {{vk::kTab, kShift, 9}}},
      {"\x1b[57399u", {{vk::kNumpad0, 0, '0'}}},
      {"\x1b[57414u", {{vk::kNumpadEnter, 0, 13}}},
      {"\x1b[57411;5u", {{vk::kMultiply, kCtrl, '*'}}},
      {"\x1b[57419u", {{vk::kUp, 0, 0}}},
      {"\x1b[233u", {{vk::kNone, 0, 0x82}}},
      {"\x1b[97;5:1u", {{'A', kCtrl, 1}}},
      {"\x1b[97;5:3u", {}},                // release
      {"\x1b[57441;2u", {}},               // Shift pressed alone
      {"\x1b[57376u", {}},                 // F13: no row in the key table
      {"\x1b[1;5:3A", {}},                 // release of Ctrl+Up
      {"\x1b[97;69u", {{'A', kCtrl, 1}}},  // Caps Lock bit ignored
  });
}

TEST(KeyDecoder, ModifyOtherKeys) {
  ExpectDecodes({
      {"\x1b[27;5;9~", {{vk::kTab, kCtrl, 9}}},
      {"\x1b[27;2;13~", {{vk::kReturn, kShift, 13}}},
      {"\x1b[27;6;65~", {{'A', kCS, 1}}},
      {"\x1b[27;5;49~", {{'1', kCtrl, '1'}}},
      {"\x1b[27;3;97~", {{'A', kAlt, 'a'}}},
      {"\x1b[27;5;127~", {{vk::kBack, kCtrl, 127}}},
  });
}

TEST(KeyDecoder, Utf8BecomesCodePage437) {
  ExpectDecodes({
      {"\xc3\xa9", {{vk::kNone, 0, 0x82}}},                // e acute
      {"\xe2\x96\x91", {{vk::kNone, 0, 0xB0}}},            // light shade
      {"\xc3\x9f", {{vk::kNone, 0, 0xE1}}},                // sharp s
      {"x\xe2\x82\xacy", {{'X', 0, 'x'}, {'Y', 0, 'y'}}},  // euro sign: no CP437 code
      {"\xf0\x9f\x98\x80", {}},                            // emoji
      {"\xff"
       "a",
       {{'A', 0, 'a'}}},
      {"\xc3"
       "a",
       {{'A', 0, 'a'}}},  // truncated sequence
      {"\xc0\xaf", {}},   // overlong '/'
  });
}

TEST(KeyDecoder, BracketedPasteGivesCharactersAsTyped) {
  ExpectDecodes({
      {"\x1b[200~Hi\r\n!\x1b[201~",
       {{'H', kShift, 'H'}, {'I', 0, 'i'}, {vk::kReturn, 0, 13}, {'1', kShift, '!'}}},
      {"\x1b[200~a\nb\x1b[201~", {{'A', 0, 'a'}, {vk::kReturn, 0, 13}, {'B', 0, 'b'}}},
      {"\x1b[200~a\x03\tb\x1b[201~", {{'A', 0, 'a'}, {vk::kTab, 0, 9}, {'B', 0, 'b'}}},
      {"\x1b[200~\x1b[A\x1bq\xc3\xa9\x1b[201~", {{vk::kNone, 0, 0x82}}},
      {"\x1b[200~x\x1b[201~\x03", {{'X', 0, 'x'}, {'C', kCtrl, 3}}},
  });
}

TEST(KeyDecoder, UnknownAndBrokenSequencesNeverLeakAsText) {
  const std::string tooLong = "\x1b[" + std::string(200, '1') + "A";
  ExpectDecodes({
      {"\x1b[<0;10;20M\x1b[<0;10;20m", {}},  // SGR mouse
      {"\x1b[M !!a", {{'A', 0, 'a'}}},       // X10 mouse, then a key
      {"\x1b[I\x1b[O", {}},                  // focus
      {"\x1b[?1;2c\x1b[?1u", {}},            // replies
      {"\x1b[99~\x1b[5X\x1b[1;5y", {}},      // unknown
      {"\x1b[1;5", {}},                      // broken off
      {"\x1b[12\x1b[A", {{vk::kUp, 0, 0}}},  // broken off by the next sequence
      {"\x1b[1;5\x03z", {{'Z', 0, 'z'}}},
      {tooLong + "z", {{'Z', 0, 'z'}}},
      {"\x1b[99999999999999999999u", {}},
      {"\x1b[27;5;99999999~", {}},
      {"\x1b[2 q", {}},  // intermediate byte
      {"\x1bO\x1b[B", {{vk::kDown, 0, 0}}},
  });
}

// A source that reports time-outs where the script says so and records the
// waits the decoder asked for.
class ScriptedSource : public ByteSource {
 public:
  explicit ScriptedSource(std::vector<int> script) : script_(std::move(script)) {}
  int Read(int timeoutMs) override {
    waits.push_back(timeoutMs);
    if (pos_ >= script_.size()) return -1;
    return script_[pos_++];
  }
  std::vector<int> waits;

 private:
  std::vector<int> script_;
  size_t pos_ = 0;
};

TEST(KeyDecoder, LoneEscEndsAfterShortWaitAndDoesNotSwallowTheNextKey) {
  ScriptedSource source({0x1B, -1, 'a'});
  KeyDecoder decoder(source, 25);
  KeyEvent e;
  ASSERT_TRUE(decoder.Next(&e, -1));
  EXPECT_EQ(e, (KeyEvent{vk::kEscape, 0, 27}));
  ASSERT_EQ(source.waits.size(), 2u);
  EXPECT_EQ(source.waits[0], -1);
  EXPECT_EQ(source.waits[1], 25);
  ASSERT_TRUE(decoder.Next(&e, -1));
  EXPECT_EQ(e, (KeyEvent{'A', 0, 'a'}));
  EXPECT_FALSE(decoder.Next(&e, 0));
}

TEST(KeyDecoder, DroppedInputKeepsWaitingForAKey) {
  // A mouse report and an unmappable character come first; the wait goes on.
  ScriptedSource source({0x1B, '[', '<', '0', ';', '1', ';', '1', 'M', 0xE2, 0x82, 0xAC, 'q'});
  KeyDecoder decoder(source);
  KeyEvent e;
  ASSERT_TRUE(decoder.Next(&e, -1));
  EXPECT_EQ(e, (KeyEvent{'Q', 0, 'q'}));
}

}  // namespace
}  // namespace torvex
