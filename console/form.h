// Forms: several values entered in place on one screen, one field after
// another. A text field is edited like a short line; a choice field cycles
// through a fixed list of texts. RunForm moves between the fields of a form with
// the cursor keys and lets its caller check each value as it is entered.
//
// Fields are drawn in ActiveFieldColour while they are edited and, when their
// options ask for it, in InactiveFieldColour once they are left. Values and
// choices are always shown as they are: a "|" in them is a bar on the screen,
// never a colour code, and a control character is one cell.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/console.h"

namespace torvex {

// The program-wide colour-code texts of fields being edited ("|23|00", black on
// light grey) and of fields after they were left ("|16|15", white on black).
// Callers may assign other colour codes; the texts are read at every draw.
std::string& ActiveFieldColour();
std::string& InactiveFieldColour();

// Result codes of FormField and ChoiceField: the key that left the field and
// whether the value was stored.
enum FieldResult : int {
  kFieldEsc = -1,              // Esc; not stored (a choice field empties its value)
  kFieldPageUp = -2,           // Page Up, not stored
  kFieldPageDown = -3,         // Page Down, not stored
  kFieldUp = -4,               // Up, not stored
  kFieldDown = -5,             // Down, not stored
  kFieldEnter = -11,           // Enter, stored
  kFieldPageUpStored = -12,    // Page Up, stored
  kFieldPageDownStored = -13,  // Page Down, stored
  kFieldUpStored = -14,        // Up, stored
  kFieldDownStored = -15,      // Down, stored
};

// Option bits of FormField.
enum FormFieldOption : uint16_t {
  kFormPageKeysLeave = 1,      // Page Up and Page Down leave the field
  kFormUpDownLeave = 2,        // Up and Down leave the field
  kFormPageKeysNoStore = 4,    // Page Up / Page Down leave without storing (-2, -3)
  kFormUpDownNoStore = 8,      // Up / Down leave without storing (-4, -5)
  kFormUpperCase = 0x20,       // typed letters are upper-cased
  kFormNumeric = 0x40,         // only "-" and the digits are accepted
  kFormRedrawInactive = 0x80,  // on leaving, redraw the field in InactiveFieldColour
  kFormRightAlign = 0x100,     // that redraw is right-aligned
  kFormReplace = 0x200,        // the first typed character replaces the whole value
};

// Option bits of ChoiceField.
enum ChoiceFieldOption : uint8_t {
  kChoicePageKeysLeave = 2,     // Page Up and Page Down leave the field
  kChoiceUpDownLeave = 4,       // Up and Down leave the field
  kChoicePageKeysNoStore = 8,   // Page Up / Page Down leave without storing (value emptied)
  kChoiceUpDownNoStore = 16,    // Up / Down leave without storing (value emptied)
  kChoiceRightAlign = 64,       // the choice is shown right-aligned
  kChoiceRedrawInactive = 128,  // on leaving, redraw the field in InactiveFieldColour
};

// Raised by ChoiceField (and RunForm) for a choice field without choices.
class EReadMultiChoiceException : public std::runtime_error {
 public:
  EReadMultiChoiceException() : std::runtime_error("You must provide at least one choice.") {}
};

// Edits `value` in a text field of `width` cells whose first cell is at the
// 1-based, window-relative (`column`, `row`); a column or row below 1 means the
// cursor's. Returns a FieldResult. The field holds at most `width` characters
// (`width` is taken as 0..kMaxFieldLength): a longer value is edited cut to it.
// On a storing exit `value` becomes the edited text; otherwise it is unchanged.
// Keys that leave: Enter and Esc always, the others as `options` allow. A key
// the field refuses (by the options, or a character that does not fit) changes
// nothing, and does not end replace mode either.
int FormField(Console& console, int column, int row, int width, uint16_t options,
              std::string& value);

// Lets the user pick one of `choices` in a field of `width` cells at (`column`,
// `row`) as for FormField, starting on the first choice equal to `value` (case
// counts) or else on the first. Returns a FieldResult. On a storing exit `value`
// becomes the chosen text; on Esc and the exits without storing it is emptied.
// Throws EReadMultiChoiceException, before drawing anything, when `choices` is
// empty; a single choice is a valid list.
int ChoiceField(Console& console, int column, int row, int width, uint8_t options,
                const std::vector<std::string>& choices, std::string& value);

// One field of a form.
struct TInputRecord {
  enum Kind : uint8_t { kText = 0, kChoice = 1 };

  uint8_t kind = kText;  // kText or kChoice; RunForm refuses any other
  int32_t column = 1;    // 1-based, window-relative position of the first cell
  int32_t row = 1;
  int32_t width = 0;                 // cells, and the longest text a text field holds
  uint16_t flags = 0;                // FormFieldOption or ChoiceFieldOption bits of the field
  std::vector<std::string> choices;  // a choice field's texts; not read for text fields
  std::string value;                 // shown at entry; replaced when a value is accepted
  intptr_t tag = 0;                  // the caller's own; never read or changed here
};

// Checks a value entered in field `fieldIndex`, left with `resultCode` (one of
// the storing codes). It may change `value` and set `stop` to end the form after
// this field. Returns true to accept the value, false to keep the user on the
// field (which then shows `value` as the check left it).
using FormCheck =
    std::function<bool(int fieldIndex, std::string& value, int resultCode, bool& stop)>;

// Runs the fields of `records` in turn, starting at the first, until the user
// leaves the form, and returns the last FieldResult (0 for a form without
// fields). Text fields always leave and store with Up and Down and are redrawn
// inactive when left; choice fields always leave and store with Up and Down.
// Down, Page Down and Enter move to the next field (from the last to the first),
// Up and Page Up to the previous one (from the first to the last); Esc and the
// exits without storing end the form.
//
// Each field edits a copy of its record's value: a record's value changes only
// when a storing exit is accepted (by `check`, when given), so a form left with
// Esc leaves every record as it was. Throws std::invalid_argument for a record
// of another kind and EReadMultiChoiceException for a choice field without
// choices, before any field is drawn.
int RunForm(Console& console, std::span<TInputRecord> records, const FormCheck& check = {});

}  // namespace torvex
