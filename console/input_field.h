// The inline edit field: a one-line text editor typed into at a fixed place on
// the screen, always in insert mode. The preferences editor and the start-up
// screens use it directly; the pop-up prompts of TInputManager are built on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "console/console.h"

namespace torvex {

// Option bits of InputField.
enum InputFieldOption : uint8_t {
  kFieldEscCancels = 1,    // Esc ends the field with the default text; otherwise Esc is ignored
  kFieldLowerCase = 2,     // the default text and every typed character are folded to lower case
  kFieldNumeric = 4,       // only codes 42..63 ("*" to "?": digits, + - . / and a few more)
  kFieldPrintable = 8,     // only codes 32..126; tested before kFieldNumeric and wins over it
  kFieldWhiteOnBlue = 16,  // edit in white on blue instead of white on black
  kFieldPassword = 32,     // every character is shown as "X"
  kFieldRightAlign = 64,   // the finished field shows its text right-aligned
};

// Bits of InputField's result flags.
enum InputFieldResult : uint8_t {
  kFieldCancelled = 1,
};

// The widest field: wider ones are reduced to it so that a runaway width cannot
// make the field write without end.
inline constexpr int kMaxFieldLength = 255;
// The longest text a field holds (a path of the system's longest length).
inline constexpr int kMaxFieldTextLength = 4096;

// Lets the user edit a text in a field of `maxLength` cells whose first cell is
// at the 1-based, window-relative position (`column`, `row`), and returns when
// Enter (or line feed) is pressed, or Esc with kFieldEscCancels.
//
// Returns the edited text on Enter and the default text on Esc. The field never
// holds more than `maxLength` characters: a longer default is cut to that length
// (so are the results). `maxLength` below 0 counts as 0, above
// kMaxFieldTextLength as kMaxFieldTextLength. When `resultFlags` is given it is
// cleared at entry and gets kFieldCancelled when the field was left with Esc.
//
// The field covers `width` cells (at most kMaxFieldLength), or `maxLength` cells
// when `width` is 0. A text that may grow longer than the field scrolls inside
// it: the part around the cursor is shown, and the cursor always stands on one
// of the field's cells. The finished field shows the start of the text.
//
// Typed text is shown as the characters typed: a bar or a control character in it
// is never read as a colour code or a control. On return the field is drawn white
// on black over its full width, the cursor stands behind it and the console's text
// attribute is white on black. The field reads keys from `console` until it ends.
std::string InputField(Console& console, int column, int row, std::string_view defaultText,
                       int maxLength, uint8_t options, uint8_t* resultFlags = nullptr,
                       int width = 0);

}  // namespace torvex
