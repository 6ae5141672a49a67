// Centred pop-up windows: a message, a number prompt, a text prompt and a choice
// list, drawn in one of the program's window styles.
//
// A TInputManager belongs to one user of the windows (a browser, a simulator,
// the preferences editor) for that user's whole life. The caller assigns the
// inputs (Title, Prompt, MaxLength, DefaultText, Items, a style) and then calls
// one operation; each operation is modal, reads keys until it ends, and puts the
// console back exactly as it found it (screen, cursor, attribute, mode, window).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"

namespace torvex {

// The seven colour fields of a window. Frame and text colours are whole
// attributes; the title colour is written as colour codes; the item and selection
// colours go through Console::TextColor and Console::TextBackground, so only the
// bits those keep reach the screen (a background of 16 is black).
struct TWindowStyle {
  int32_t FrameColour;
  int32_t TextColour;
  int32_t TitleColour;
  int32_t ItemColour;
  int32_t ItemBackground;
  int32_t SelectedColour;
  int32_t SelectedBackground;
};

// The three styles shared by the whole program.
inline constexpr TWindowStyle kHelpStyle{8, 7, 15, 0, 0, 0, 0};
inline constexpr TWindowStyle kInputStyle{8, 1, 9, 15, 16, 15, 1};
inline constexpr TWindowStyle kAlertStyle{8, 4, 12, 0, 0, 0, 0};

class TInputManager;

// Copies `style` into the manager's seven colour fields.
void ApplyWindowStyle(TInputManager& manager, const TWindowStyle& style);

// Word-wraps colour-code text at `columns` visible columns, breaking at spaces
// (the spaces at a break are dropped) and, for a word longer than a line, inside
// the word. Line breaks already in the text (CR LF, or a lone LF or CR) are kept;
// every break in the result is CR LF. Colour codes take no columns and are never
// split. `columns` below 1 counts as 1.
std::string WrapText(std::string_view text, int columns);

class TInputManager {
 public:
  // `console` must outlive the manager. Items start empty, ChosenIndex at -1 and
  // the colours at the help style.
  explicit TInputManager(Console& console);
  virtual ~TInputManager() = default;
  TInputManager(const TInputManager&) = delete;
  TInputManager& operator=(const TInputManager&) = delete;

  // Asks for a number in a field of MaxLength characters below Prompt. Sets
  // ResultText (empty when cancelled), ResultNumber and Cancelled.
  virtual void AskNumber();
  // Asks for a text, offering DefaultText. Sets ResultText, ResultNumber and
  // Cancelled; when not cancelled DefaultText becomes the text typed, so the next
  // prompt offers it again.
  virtual void AskText();
  // Shows Prompt (empty lines dropped) and waits for one key, which is consumed.
  virtual void ShowMessage();
  // Offers Items below Prompt, starting on `preselect` when it names an item
  // (else on the first). Up and Down move round the list, Enter accepts and sets
  // ChosenIndex, Esc leaves ChosenIndex as it was. With no items Enter leaves
  // like Esc. Items are shown as plain text, cut to the window.
  virtual void ChooseFromList(int32_t preselect);

  // Placement, computed by every show. The bottom border is at Top + Height.
  int32_t Top = 0;
  int32_t Left = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  // Message or prompt; may hold line breaks (CR LF) and colour codes.
  std::string Prompt;
  std::string ResultText;
  // ResultText as a signed 32-bit decimal number; 0 when it is not one or does
  // not fit.
  int32_t ResultNumber = 0;
  std::string DefaultText;
  int32_t ChosenIndex = -1;
  // Empty: a frame without title. May hold colour codes.
  std::string Title;
  int32_t FrameColour = kHelpStyle.FrameColour;
  int32_t TextColour = kHelpStyle.TextColour;
  int32_t TitleColour = kHelpStyle.TitleColour;
  int32_t ItemColour = kHelpStyle.ItemColour;
  int32_t ItemBackground = kHelpStyle.ItemBackground;
  int32_t SelectedColour = kHelpStyle.SelectedColour;
  int32_t SelectedBackground = kHelpStyle.SelectedBackground;
  std::vector<std::string> Items;
  // Maximum input length of the prompts; 40 or more widens the window to it.
  int32_t MaxLength = 0;
  // The console state while a window is shown; empty otherwise.
  ConsoleState SavedState;
  bool Cancelled = false;

 protected:
  enum class WindowKind { kMessage, kPrompt, kList };
  // Saves the console state, places the window and draws frame, title and the
  // wrapped prompt. Every call must be paired with CloseWindow.
  void OpenWindow(WindowKind kind);
  // Puts back the state OpenWindow saved.
  void CloseWindow();
  // The number prompt and the text prompt, which differ only in the default.
  void Ask(std::string_view defaultText);

  Console& console_;
};

// `text` as a signed 32-bit decimal number: an optional sign and digits, nothing
// else. 0 when it is not one or lies outside the 32-bit range.
int32_t DecimalValue(std::string_view text);

}  // namespace torvex
