#include "console/form.h"

#include <algorithm>
#include <string_view>

#include "console/colour_text.h"
#include "console/input_field.h"
#include "console/keys.h"

namespace torvex {

std::string& ActiveFieldColour() {
  static std::string colour = "|23|00";
  return colour;
}

std::string& InactiveFieldColour() {
  static std::string colour = "|16|15";
  return colour;
}

namespace {

bool IsStoringResult(int result) {
  return result <= kFieldEnter;
}

// The cells of one field: where it starts and how to draw over it. Positions
// run on from row to row, so a field wider than the rest of its row still
// stays in place. The caller's raw-output flag is put back when the field goes.
class FieldCells {
 public:
  FieldCells(Console& console, int column, int row, size_t width)
      : console_(console), width_(width), savedRaw_(console.RawOutput()) {
    console.GotoXY(column < 1 ? console.WhereX() : column, row < 1 ? console.WhereY() : row);
    start_ = static_cast<long>(console.WhereY() - 1) * console.WindowWidth() + console.WhereX() - 1;
  }
  ~FieldCells() { console_.SetRawOutput(savedRaw_); }
  FieldCells(const FieldCells&) = delete;
  FieldCells& operator=(const FieldCells&) = delete;

  size_t width() const { return width_; }

  // Draws `text` over the whole field in the colour `colourCodes` selects, cut
  // to the field and padded with spaces (on the left when `rightAligned`). The
  // cursor ends behind the field.
  void Draw(std::string_view colourCodes, std::string_view text, bool rightAligned) {
    std::string shown(text.substr(0, std::min(text.size(), width_)));
    const std::string padding(width_ - shown.size(), ' ');
    shown = rightAligned ? padding + shown : shown + padding;
    Place(0);
    console_.SetRawOutput(false);
    WriteColour(console_, colourCodes);
    // Cut before the bars are doubled: a doubled bar cut in half at the edge
    // would start a colour code. Raw output makes a control character one cell.
    console_.SetRawOutput(true);
    WriteColour(console_, ColourLiteral(shown));
    console_.SetRawOutput(savedRaw_);
  }

  // Puts the cursor on the field's cell `offset` (0 is the first).
  void Place(size_t offset) {
    const long windowWidth = console_.WindowWidth();
    const long at = start_ + static_cast<long>(offset);
    console_.GotoXY(static_cast<int>(at % windowWidth) + 1, static_cast<int>(at / windowWidth) + 1);
  }

 private:
  Console& console_;
  size_t width_;
  bool savedRaw_;
  long start_ = 0;
};

size_t FieldWidth(int width) {
  return static_cast<size_t>(std::clamp(width, 0, kMaxFieldLength));
}

// The keys that leave a field, as a field's options allow them: Enter and Esc
// always, the page keys and Up/Down when their options say so.
struct LeavingKeys {
  bool pageLeaves = false;
  bool pageNoStore = false;
  bool upDownLeaves = false;
  bool upDownNoStore = false;

  // The result code `whole` leaves with, or 0 when it does not leave.
  int CodeFor(int whole) const {
    const auto code = [](bool leaves, bool withoutStoring, int notStored, int stored) {
      return !leaves ? 0 : withoutStoring ? notStored : stored;
    };
    switch (whole) {
      case key::kPageUp:
        return code(pageLeaves, pageNoStore, kFieldPageUp, kFieldPageUpStored);
      case key::kPageDown:
        return code(pageLeaves, pageNoStore, kFieldPageDown, kFieldPageDownStored);
      case key::kUp:
        return code(upDownLeaves, upDownNoStore, kFieldUp, kFieldUpStored);
      case key::kDown:
        return code(upDownLeaves, upDownNoStore, kFieldDown, kFieldDownStored);
      case key::kEnter:
        return kFieldEnter;
      case key::kEscape:
        return kFieldEsc;
      default:
        return 0;
    }
  }
};

}  // namespace

int FormField(Console& console, int column, int row, int width, uint16_t options,
              std::string& value) {
  FieldCells field(console, column, row, FieldWidth(width));
  std::string text = value.substr(0, std::min(value.size(), field.width()));
  size_t cursor = text.size();
  bool replace = (options & kFormReplace) != 0;
  const LeavingKeys leaving{(options & kFormPageKeysLeave) != 0,
                            (options & kFormPageKeysNoStore) != 0,
                            (options & kFormUpDownLeave) != 0, (options & kFormUpDownNoStore) != 0};

  auto show = [&] {
    field.Draw(ActiveFieldColour(), text, false);
    field.Place(cursor);
  };
  show();

  int result = 0;
  while (result == 0) {
    const int whole = ReadWholeKey(console);
    result = leaving.CodeFor(whole);
    if (result != 0) break;
    switch (whole) {
      case key::kHome:
        cursor = 0;
        replace = false;
        break;
      case key::kEnd:
        cursor = text.size();
        replace = false;
        break;
      case key::kLeft:
        if (cursor > 0) --cursor;
        replace = false;
        break;
      case key::kRight:
        if (cursor < text.size()) ++cursor;
        replace = false;
        break;
      case key::kDelete:
        if (cursor < text.size()) text.erase(cursor, 1);
        replace = false;
        break;
      case key::kBackspace:
        if (cursor > 0) text.erase(--cursor, 1);
        replace = false;
        break;
      default: {
        // Other extended keys and the control characters have no meaning here.
        if (key::IsExtended(whole) || (whole >= 1 && whole <= 26)) break;
        const int c = (options & kFormUpperCase) ? key::Upper(whole) : whole;
        if ((options & kFormNumeric) && c != '-' && (c < '0' || c > '9')) break;
        // Replace mode makes room before the character goes in, but a character
        // that does not fit even then is refused and the value stays whole.
        if ((replace ? 0 : text.size()) >= field.width()) break;
        if (replace) {
          text.clear();
          cursor = 0;
          replace = false;
        }
        text.insert(cursor++, 1, static_cast<char>(c));
        break;
      }
    }
    if (result == 0) show();
  }

  if (IsStoringResult(result)) value = text;
  if (options & kFormRedrawInactive) {
    field.Draw(InactiveFieldColour(), value, (options & kFormRightAlign) != 0);
  }
  return result;
}

int ChoiceField(Console& console, int column, int row, int width, uint8_t options,
                const std::vector<std::string>& choices, std::string& value) {
  if (choices.empty()) throw EReadMultiChoiceException();
  FieldCells field(console, column, row, FieldWidth(width));
  const size_t last = choices.size() - 1;
  const auto found = std::find(choices.begin(), choices.end(), value);
  size_t current = found == choices.end() ? 0 : static_cast<size_t>(found - choices.begin());
  const bool rightAligned = (options & kChoiceRightAlign) != 0;
  const LeavingKeys leaving{
      (options & kChoicePageKeysLeave) != 0, (options & kChoicePageKeysNoStore) != 0,
      (options & kChoiceUpDownLeave) != 0, (options & kChoiceUpDownNoStore) != 0};

  auto show = [&] {
    field.Draw(ActiveFieldColour(), choices[current], rightAligned);
    field.Place(0);
  };
  show();

  int result = 0;
  while (result == 0) {
    const size_t before = current;
    const int whole = ReadWholeKey(console);
    result = leaving.CodeFor(whole);
    if (result != 0) break;
    switch (whole) {
      case key::kRight:
      case ' ':
        current = current == last ? 0 : current + 1;
        break;
      case key::kLeft:
        current = current == 0 ? last : current - 1;
        break;
      case key::kHome:
        current = 0;
        break;
      case key::kEnd:
        current = last;
        break;
      default:
        break;
    }
    if (current != before) show();
  }

  value = IsStoringResult(result) ? choices[current] : std::string();
  if (options & kChoiceRedrawInactive)
    field.Draw(InactiveFieldColour(), choices[current], rightAligned);
  return result;
}

int RunForm(Console& console, std::span<TInputRecord> records, const FormCheck& check) {
  for (size_t i = 0; i < records.size(); ++i) {
    const TInputRecord& r = records[i];
    if (r.kind != TInputRecord::kText && r.kind != TInputRecord::kChoice) {
      throw std::invalid_argument("Form field " + std::to_string(i) + " has an unknown kind (" +
                                  std::to_string(r.kind) + ").");
    }
    if (r.kind == TInputRecord::kChoice && r.choices.empty()) throw EReadMultiChoiceException();
  }
  if (records.empty()) return 0;

  const size_t count = records.size();
  size_t index = 0;
  bool stop = false;
  // The value being entered in the current field. It reaches the record only
  // when accepted, so that Esc (which empties a choice field's value) or a
  // refused value never changes what the record holds.
  std::string entered = records[0].value;
  for (;;) {
    TInputRecord& r = records[index];
    int result;
    if (r.kind == TInputRecord::kText) {
      // Up and Down always leave and store; the field is redrawn inactive. 0x10
      // is no text-field option; it is set with the others and does nothing.
      const uint16_t options = static_cast<uint16_t>(
          (r.flags | kFormUpDownLeave | 0x10 | kFormRedrawInactive) & ~kFormUpDownNoStore);
      result = FormField(console, r.column, r.row, r.width, options, entered);
    } else {
      // Up and Down always leave and store. 0x20 is no choice-field option; it
      // is set with the others and does nothing.
      const uint8_t options =
          static_cast<uint8_t>((r.flags | kChoiceUpDownLeave | 0x20) & ~kChoiceUpDownNoStore);
      result = ChoiceField(console, r.column, r.row, r.width, options, r.choices, entered);
    }

    size_t next;
    switch (result) {
      case kFieldDownStored:
      case kFieldPageDownStored:
      case kFieldEnter:
        next = index + 1 == count ? 0 : index + 1;
        break;
      case kFieldUpStored:
      case kFieldPageUpStored:
        next = index == 0 ? count - 1 : index - 1;
        break;
      default:
        if (result >= kFieldDown && result <= 0) return result;
        // Any other code keeps the user on the field, as it was.
        entered = r.value;
        continue;
    }
    if (!check || check(static_cast<int>(index), entered, result, stop)) {
      r.value = entered;
      index = next;
      entered = records[index].value;
    }
    // Refused: the field shows again what was entered, as the check left it.
    if (stop) return result;
  }
}

}  // namespace torvex
