// Turns the bytes a terminal sends for key presses into KeyEvents.
//
// Understood: plain and UTF-8 text, control bytes, Alt as an Esc prefix, CSI
// sequences with xterm modifier parameters, SS3 (including the application
// keypad), rxvt's "$", "^" and "@" forms, the linux console's F1-F5, the kitty
// keyboard protocol (CSI u), xterm's modifyOtherKeys (CSI 27;m;c ~) and bracketed
// paste. Mouse reports, focus reports, terminal replies and unknown sequences are
// read to their end and dropped, so their bytes never arrive as typed text.
//
// Mapping choices the keyboard table above relies on:
//  - Printable ASCII carries the US key identity: 'a' is vk 'A' with no modifier,
//    'A' is vk 'A' with Shift, '!' is vk '1' with Shift, ':' is vk::kSemicolon with
//    Shift. `ch` is always the character itself.
//  - 0x7F and 0x08 are both a plain Backspace (vk::kBack, ch 8). Terminals disagree
//    about which of the two the Backspace key sends, and Ctrl+H is rarely meant as
//    anything else; a terminal that reports Ctrl+Backspace distinctly does so
//    through CSI u or modifyOtherKeys, which keep the Ctrl.
//  - 0x0A is Ctrl+Enter (ch 10); 0x0D is Enter, 0x09 Tab, 0x00 Ctrl+Space.
//  - 0x01-0x1A are Ctrl+A..Ctrl+Z with ch the control byte; 0x1C-0x1F are
//    Ctrl+\, Ctrl+], Ctrl+6 (the ^ key) and Ctrl+- (the _ key).
//  - Characters outside ASCII become their code page 437 byte with vk::kNone, or
//    are dropped when the code page has none.
//  - Inside a bracketed paste, CR, LF and CR LF each become one Enter, Tab stays,
//    and other control bytes are dropped, so pasted text cannot fire shortcuts.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/terminal/display.h"

namespace torvex {

// Where the decoder gets its bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Returns the next byte (0..255), or -1 when none arrived within `timeoutMs`
  // milliseconds (negative: wait without limit) or the source was interrupted.
  virtual int Read(int timeoutMs) = 0;
};

// A ByteSource over fixed bytes: returns -1 at once when they run out. For tests,
// benchmarks and fuzzing. `bytes` must outlive the source.
class StringByteSource : public ByteSource {
 public:
  explicit StringByteSource(std::string_view bytes) : bytes_(bytes) {}
  int Read(int) override {
    if (pos_ >= bytes_.size()) return -1;
    return static_cast<unsigned char>(bytes_[pos_++]);
  }
  size_t Remaining() const { return bytes_.size() - pos_; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

class KeyDecoder {
 public:
  // How long to wait after Esc (and after Esc [ or Esc O) for the rest of a
  // sequence before taking what came as typed keys. Terminals send a sequence in
  // one write, so its bytes arrive together; nobody types Esc and another key
  // this fast.
  static constexpr int kDefaultEscTimeoutMs = 30;
  // Sequences (parameters and intermediates) longer than this are dropped.
  static constexpr size_t kMaxSequenceBytes = 64;

  // `source` must outlive the decoder.
  explicit KeyDecoder(ByteSource& source, int escTimeoutMs = kDefaultEscTimeoutMs)
      : source_(source), escTimeoutMs_(escTimeoutMs) {}

  // Waits at most `timeoutMs` (negative: without limit) for a key press. Returns
  // true and fills `*event`, or false on time-out or when the source gives up.
  // Bytes that decode to nothing (dropped sequences, characters with no code
  // page 437 byte) do not end the wait.
  bool Next(KeyEvent* event, int timeoutMs);

  // True between the start and the end marks of a bracketed paste.
  bool InPaste() const { return inPaste_; }

 private:
  int ReadByte(int timeoutMs);
  void Unread(int byte) { pushback_.push_front(static_cast<unsigned char>(byte)); }
  void Emit(uint16_t vkCode, uint8_t mods, uint8_t ch) { queue_.push_back({vkCode, mods, ch}); }

  void DecodeFrom(int byte);
  void DecodeEscape();
  void DecodeSingle(int byte, uint8_t extraMods);
  void DecodeUtf8Char(int lead, uint8_t extraMods);
  void DecodeCsi(uint8_t extraMods);
  void DecodeSs3(uint8_t extraMods);
  void DispatchCsi(char prefix, const std::string& params, char intermediate, char final,
                   uint8_t extraMods);
  void EmitCodePoint(uint32_t cp, uint8_t mods, uint32_t shifted);

  ByteSource& source_;
  int escTimeoutMs_;
  std::deque<unsigned char> pushback_;
  std::deque<KeyEvent> queue_;
  bool inPaste_ = false;
  bool pasteAfterCr_ = false;
};

// Decodes all of `bytes` (a lone Esc at the end counts as Esc).
std::vector<KeyEvent> DecodeKeys(std::string_view bytes);

}  // namespace torvex
