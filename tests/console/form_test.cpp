#include "console/form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "console_test_util.h"

namespace torvex {
namespace {

using testing::HeadlessConsole;
using testing::PushScript;

constexpr uint8_t kActiveAttr = 0x70;    // "|23|00": black on light grey
constexpr uint8_t kInactiveAttr = 0x0F;  // "|16|15": white on black
constexpr uint8_t kUntouchedAttr = 0x07;

// Puts the program-wide field colours back when a test changed them.
class FieldColourGuard {
 public:
  FieldColourGuard() : active_(ActiveFieldColour()), inactive_(InactiveFieldColour()) {}
  ~FieldColourGuard() {
    ActiveFieldColour() = active_;
    InactiveFieldColour() = inactive_;
  }

 private:
  std::string active_, inactive_;
};

struct TextCase {
  const char* value;
  int width;
  uint16_t options;
  const char* keys;
  int result;
  const char* stored;  // the value after the field
  size_t pending = 0;  // keys left unread: the Enter after a key that left
};

TEST(FormFieldTest, EditingLeavingKeysFiltersAndReplaceMode) {
  const TextCase cases[] = {
      // Numeric: "-" and digits only; upper-casing; both.
      {"", 8, kFormNumeric, "1a-2.5 x+3{enter}", kFieldEnter, "1-253"},
      {"ab", 8, kFormUpperCase, "cD1{enter}", kFieldEnter, "abCD1"},
      {"", 8, kFormUpperCase | kFormNumeric, "q7{enter}", kFieldEnter, "7"},
      {"ab", 8, 0, "cD{enter}", kFieldEnter, "abcD"},
      // Home, End, Left and Right stay within the value.
      {"bc", 8, 0, "{home}a{end}d{enter}", kFieldEnter, "abcd"},
      {"ab", 8, 0, "{left}{left}{left}x{enter}", kFieldEnter, "xab"},
      {"ab", 8, 0, "{home}{right}{right}{right}x{enter}", kFieldEnter, "abx"},
      {"abc", 8, 0, "{home}{del}{end}{del}{enter}", kFieldEnter, "bc"},
      {"abc", 8, 0, "{home}{bs}{end}{bs}{enter}", kFieldEnter, "ab"},
      {"abcd", 8, 0, "{left}{left}{bs}{enter}", kFieldEnter, "acd"},
      // Control characters and other extended keys are ignored.
      {"a", 8, 0, "{tab}{ctrl-a}{ctrl-c}{ctrl-x}{lf}{f1}{ins}b{enter}", kFieldEnter, "ab"},
      // A full field refuses characters; a longer value is edited cut to the width.
      {"abc", 3, 0, "d{enter}", kFieldEnter, "abc"},
      {"abcdef", 4, 0, "{enter}", kFieldEnter, "abcd"},
      {"abcdef", 4, 0, "{esc}", kFieldEsc, "abcdef"},
      // Esc stores nothing, whatever was typed.
      {"abc", 8, 0, "xy{home}{del}{esc}", kFieldEsc, "abc"},
      // Replace mode: the first character replaces the value, even a full one.
      {"old", 8, kFormReplace, "n{enter}", kFieldEnter, "n"},
      {"abc", 3, kFormReplace, "xy{enter}", kFieldEnter, "xy"},
      // A cursor or editing key ends replace mode first.
      {"old", 8, kFormReplace, "{left}x{enter}", kFieldEnter, "olxd"},
      {"old", 8, kFormReplace, "{home}x{enter}", kFieldEnter, "xold"},
      {"old", 8, kFormReplace, "{end}x{enter}", kFieldEnter, "oldx"},
      {"old", 8, kFormReplace, "{right}x{enter}", kFieldEnter, "oldx"},
      {"old", 8, kFormReplace, "{bs}x{enter}", kFieldEnter, "olx"},
      {"old", 8, kFormReplace, "{del}x{enter}", kFieldEnter, "oldx"},
      // Keys with no meaning leave replace mode on.
      {"old", 8, kFormReplace, "{f1}{tab}x{enter}", kFieldEnter, "x"},
      // A refused key changes nothing, not even replace mode's emptying.
      {"123", 8, kFormReplace | kFormNumeric, "a{enter}", kFieldEnter, "123"},
      {"123", 8, kFormReplace | kFormNumeric, "a5{enter}", kFieldEnter, "5"},
      {"abc", 0, kFormReplace, "x{enter}", kFieldEnter, ""},
      // Leaving keys give their code per option bit, storing unless told not to.
      {"v", 8, kFormPageKeysLeave, "x{pgup}{enter}", kFieldPageUpStored, "vx", 1},
      {"v", 8, kFormPageKeysLeave, "x{pgdn}{enter}", kFieldPageDownStored, "vx", 1},
      {"v", 8, kFormPageKeysLeave | kFormPageKeysNoStore, "x{pgup}{enter}", kFieldPageUp, "v", 1},
      {"v", 8, kFormPageKeysLeave | kFormPageKeysNoStore, "x{pgdn}{enter}", kFieldPageDown, "v", 1},
      {"v", 8, kFormUpDownLeave, "x{up}{enter}", kFieldUpStored, "vx", 1},
      {"v", 8, kFormUpDownLeave, "x{down}{enter}", kFieldDownStored, "vx", 1},
      {"v", 8, kFormUpDownLeave | kFormUpDownNoStore, "x{up}{enter}", kFieldUp, "v", 1},
      {"v", 8, kFormUpDownLeave | kFormUpDownNoStore, "x{down}{enter}", kFieldDown, "v", 1},
      // Leaving needs its own bit; the other kind of key stays in the field.
      {"v", 8, kFormPageKeysLeave, "x{up}{enter}", kFieldEnter, "vx"},
      {"v", 8, kFormPageKeysLeave | kFormUpDownNoStore, "x{down}{enter}", kFieldEnter, "vx"},
      {"v", 8, kFormUpDownLeave, "x{pgdn}{enter}", kFieldEnter, "vx"},
      {"v", 8, kFormUpDownLeave | kFormPageKeysNoStore, "x{pgup}{enter}", kFieldEnter, "vx"},
      {"v", 8, 0, "x{up}{down}{pgup}{pgdn}{enter}", kFieldEnter, "vx"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "value \"" << c.value << "\" width " << c.width
                                      << " options " << c.options << " keys " << c.keys);
    HeadlessConsole t;
    PushScript(t.display, c.keys);
    std::string value = c.value;
    EXPECT_EQ(FormField(t.console, 5, 3, c.width, c.options, value), c.result);
    EXPECT_EQ(value, c.stored);
    EXPECT_EQ(t.display.PendingKeys(), c.pending);
  }
}

struct ShowCase {
  const char* value;
  int width;
  bool rightAligned;
  const char* active;    // the field while edited
  const char* inactive;  // the field after it was left
};

// A value with bars shows them as bars, cut at the field's width, both while
// edited and when redrawn inactive; the cell after the field is never written.
TEST(FormFieldTest, ValuesShowLiterallyCutToTheWidth) {
  const ShowCase cases[] = {
      {"ab", 5, false, "ab   ", "ab   "},
      {"ab", 5, true, "ab   ", "   ab"},
      {"a|b", 5, false, "a|b  ", "a|b  "},
      {"||", 3, true, "|| ", " ||"},
      {"|07x", 4, false, "|07x", "|07x"},
      // The bar falls on the last cell: a doubled bar cut in half would be a code.
      {"abc|d", 4, false, "abc|", "abc|"},
      {"abc|", 4, true, "abc|", "abc|"},
      {"\a\b\n", 4, false, "\a\b\n ", "\a\b\n "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "value \"" << c.value << "\" width " << c.width
                                      << (c.rightAligned ? " right" : " left"));
    HeadlessConsole t;
    PushScript(t.display, "{enter}");
    std::string value = c.value;
    const uint16_t options = kFormRedrawInactive | (c.rightAligned ? kFormRightAlign : 0);
    FormField(t.console, 10, 4, c.width, options, value);
    ASSERT_EQ(t.display.AtKeyWaits().size(), 1u);
    const auto& editing = t.display.AtKeyWaits()[0];
    EXPECT_EQ(editing.Text(9, 3, c.width), c.active);
    EXPECT_EQ(t.Text(10, 4, c.width), c.inactive);
    for (int x = 0; x < c.width; ++x) {
      EXPECT_EQ(editing.At(9 + x, 3).attr, kActiveAttr) << "cell " << x;
      EXPECT_EQ(t.Attr(10 + x, 4), kInactiveAttr) << "cell " << x;
    }
    EXPECT_EQ(t.Attr(10 + c.width, 4), kUntouchedAttr);
    EXPECT_EQ(t.Text(10 + c.width, 4, 1), " ");
    // While edited the cursor stands behind the (cut) value.
    const int length = std::min(static_cast<int>(value.size()), c.width);
    EXPECT_EQ(editing.cursorX, 9 + length);
    EXPECT_EQ(editing.cursorY, 3);
    EXPECT_EQ(t.display.Bells(), 0);
    EXPECT_EQ(value, std::string(c.value).substr(0, static_cast<size_t>(c.width)));
  }
}

TEST(FormFieldTest, RedrawsInactiveOnlyWhenAskedAndInTheColoursSet) {
  FieldColourGuard guard;
  {
    HeadlessConsole t;
    PushScript(t.display, "b{enter}");
    std::string value = "a";
    FormField(t.console, 1, 1, 3, 0, value);
    EXPECT_EQ(t.Text(1, 1, 3), "ab ");
    EXPECT_EQ(t.Attr(1, 1), kActiveAttr);  // left as it was edited
    EXPECT_EQ(t.Attr(3, 1), kActiveAttr);
  }
  ActiveFieldColour() = "|17|14";
  InactiveFieldColour() = "|20|10";
  HeadlessConsole t;
  PushScript(t.display, "b{esc}");
  std::string value = "a";
  FormField(t.console, 1, 1, 3, kFormRedrawInactive | kFormRightAlign, value);
  EXPECT_EQ(t.display.AtKeyWaits()[1].Text(0, 0, 3), "ab ");
  EXPECT_EQ(t.display.AtKeyWaits()[1].At(2, 0).attr, 0x1E);
  // Esc: the redraw shows the value as it stayed.
  EXPECT_EQ(t.Text(1, 1, 3), "  a");
  EXPECT_EQ(t.Attr(1, 1), 0x4A);
  EXPECT_EQ(t.Attr(3, 1), 0x4A);
}

TEST(FormFieldTest, PositionBelowOneMeansTheCursor) {
  HeadlessConsole t;
  t.console.GotoXY(7, 9);
  PushScript(t.display, "{enter}");
  std::string value = "xy";
  FormField(t.console, 0, -3, 4, 0, value);
  EXPECT_EQ(t.Text(7, 9, 4), "xy  ");
  EXPECT_EQ(t.Attr(7, 9), kActiveAttr);
  t.console.GotoXY(3, 2);
  PushScript(t.display, "{enter}");
  FormField(t.console, 20, 0, 4, 0, value);
  EXPECT_EQ(t.Text(20, 2, 4), "xy  ");
}

struct ChoiceCase {
  std::vector<std::string> choices;
  const char* value;
  uint8_t options;
  const char* keys;
  int result;
  const char* stored;
};

TEST(ChoiceFieldTest, CyclesWrapsAndLeaves) {
  const std::vector<std::string> abc = {"Alpha", "Beta", "Gamma"};
  const ChoiceCase cases[] = {
      {abc, "Beta", 0, "{right}{enter}", kFieldEnter, "Gamma"},
      {abc, "Gamma", 0, " {enter}", kFieldEnter, "Alpha"},
      {abc, "Gamma", 0, "{right}{right}{enter}", kFieldEnter, "Beta"},
      {abc, "Alpha", 0, "{left}{enter}", kFieldEnter, "Gamma"},
      {abc, "Gamma", 0, "{left}{left}{enter}", kFieldEnter, "Alpha"},
      {abc, "Alpha", 0, "{end}{enter}", kFieldEnter, "Gamma"},
      {abc, "Gamma", 0, "{home}{enter}", kFieldEnter, "Alpha"},
      // A value not among the choices (case counts) starts on the first.
      {abc, "Delta", 0, "{enter}", kFieldEnter, "Alpha"},
      {abc, "beta", 0, "{right}{enter}", kFieldEnter, "Beta"},
      {abc, "", 0, "{enter}", kFieldEnter, "Alpha"},
      // Other keys are ignored.
      {abc, "Beta", 0, "x{bs}{del}{tab}{f1}{enter}", kFieldEnter, "Beta"},
      // Esc empties the value.
      {abc, "Beta", 0, "{right}{esc}", kFieldEsc, ""},
      // A single choice is a valid list.
      {{"Only"}, "", 0, "{right}{left} {end}{enter}", kFieldEnter, "Only"},
      // Leaving keys, per option bit.
      {abc, "Beta", kChoicePageKeysLeave, "{right}{pgup}", kFieldPageUpStored, "Gamma"},
      {abc, "Beta", kChoicePageKeysLeave, "{pgdn}", kFieldPageDownStored, "Beta"},
      {abc, "Beta", kChoicePageKeysLeave | kChoicePageKeysNoStore, "{pgup}", kFieldPageUp, ""},
      {abc, "Beta", kChoicePageKeysLeave | kChoicePageKeysNoStore, "{pgdn}", kFieldPageDown, ""},
      {abc, "Beta", kChoiceUpDownLeave, "{left}{up}", kFieldUpStored, "Alpha"},
      {abc, "Beta", kChoiceUpDownLeave, "{down}", kFieldDownStored, "Beta"},
      {abc, "Beta", kChoiceUpDownLeave | kChoiceUpDownNoStore, "{up}", kFieldUp, ""},
      {abc, "Beta", kChoiceUpDownLeave | kChoiceUpDownNoStore, "{down}", kFieldDown, ""},
      {abc, "Beta", kChoicePageKeysLeave, "{up}{down}{enter}", kFieldEnter, "Beta"},
      {abc, "Beta", kChoiceUpDownLeave | kChoicePageKeysNoStore, "{pgup}{enter}", kFieldEnter,
       "Beta"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "value \"" << c.value << "\" options " << int{c.options} << " keys " << c.keys);
    HeadlessConsole t;
    PushScript(t.display, c.keys);
    std::string value = c.value;
    EXPECT_EQ(ChoiceField(t.console, 3, 2, 8, c.options, c.choices, value), c.result);
    EXPECT_EQ(value, c.stored);
    EXPECT_EQ(t.display.PendingKeys(), 0u);
  }
}

TEST(ChoiceFieldTest, ShowsTheChoiceAlignedWithTheCursorAtTheStart) {
  const std::vector<std::string> choices = {"No", "Yes|", "Maybe not"};
  struct Step {
    const char* left;
    const char* right;
  };
  // Shown at each key wait of "{right}{right}{right}{enter}", width 5.
  const Step steps[] = {
      {"Yes| ", " Yes|"}, {"Maybe", "Maybe"}, {"No   ", "   No"}, {"Yes| ", " Yes|"}};
  for (const bool right : {false, true}) {
    SCOPED_TRACE(right ? "right-aligned" : "left-aligned");
    HeadlessConsole t;
    PushScript(t.display, "{right}{right}{right}{enter}");
    std::string value = "Yes|";
    const uint8_t options = kChoiceRedrawInactive | (right ? kChoiceRightAlign : 0);
    EXPECT_EQ(ChoiceField(t.console, 6, 7, 5, options, choices, value), kFieldEnter);
    const auto& waits = t.display.AtKeyWaits();
    ASSERT_EQ(waits.size(), 4u);
    for (size_t i = 0; i < waits.size(); ++i) {
      EXPECT_EQ(waits[i].Text(5, 6, 5), right ? steps[i].right : steps[i].left) << "wait " << i;
      EXPECT_EQ(waits[i].At(5, 6).attr, kActiveAttr);
      EXPECT_EQ(waits[i].At(9, 6).attr, kActiveAttr);
      EXPECT_EQ(waits[i].At(10, 6).attr, kUntouchedAttr);
      EXPECT_EQ(waits[i].cursorX, 5);
      EXPECT_EQ(waits[i].cursorY, 6);
    }
    EXPECT_EQ(value, "Yes|");
    EXPECT_EQ(t.Text(6, 7, 5), right ? " Yes|" : "Yes| ");
    EXPECT_EQ(t.Attr(6, 7), kInactiveAttr);
    EXPECT_EQ(t.Attr(10, 7), kInactiveAttr);
  }
}

TEST(ChoiceFieldTest, AnEmptyListIsRefusedBeforeAnythingIsDrawn) {
  HeadlessConsole t;
  PushScript(t.display, "{enter}");
  std::string value = "kept";
  try {
    ChoiceField(t.console, 1, 1, 5, 0, {}, value);
    ADD_FAILURE() << "no exception";
  } catch (const EReadMultiChoiceException& e) {
    EXPECT_STREQ(e.what(), "You must provide at least one choice.");
  }
  EXPECT_EQ(value, "kept");
  EXPECT_EQ(t.display.PendingKeys(), 1u);
  EXPECT_EQ(t.Attr(1, 1), kUntouchedAttr);
}

// A form of four fields on rows 10, 12, 14 and 16.
std::vector<TInputRecord> SampleForm() {
  std::vector<TInputRecord> records(4);
  records[0] = {TInputRecord::kText, 5, 10, 10, 0, {}, "Ann", 0};
  records[1] = {TInputRecord::kChoice, 5, 12, 6, 0, {"Red", "Green", "Blue"}, "Green", 0};
  records[2] = {TInputRecord::kChoice, 5, 14, 4, kChoiceRightAlign, {"Yes", "No"}, "No", 0};
  records[3] = {TInputRecord::kText, 5, 16, 5, kFormNumeric, {}, "42", 0};
  return records;
}

std::vector<std::string> Values(const std::vector<TInputRecord>& records) {
  std::vector<std::string> values;
  for (const auto& r : records) values.push_back(r.value);
  return values;
}

// The sample form on a console of its own, run on a key script.
struct FormScreen : HeadlessConsole {
  int Run(std::string_view keys, const FormCheck& check = {}) {
    PushScript(display, keys);
    return RunForm(console, records, check);
  }
  std::vector<TInputRecord> records = SampleForm();
};

struct FormCase {
  const char* keys;                         // each ends with Esc
  std::vector<std::pair<int, int>> checks;  // (field index, result code) as checked
  int lastField;                            // the field the last key was read in
  std::vector<std::string> values;
};

TEST(RunFormTest, MovesBetweenFieldsStoresAcceptedValuesAndEscKeepsTheRest) {
  constexpr int kDown = kFieldDownStored, kUp = kFieldUpStored, kEnter = kFieldEnter;
  const std::vector<std::string> same = Values(SampleForm());
  const FormCase cases[] = {
      {"{down}{down}{down}{down}{esc}", {{0, kDown}, {1, kDown}, {2, kDown}, {3, kDown}}, 0, same},
      {"{up}{esc}", {{0, kUp}}, 3, same},
      {"{up}{up}{up}{up}{up}{esc}", {{0, kUp}, {3, kUp}, {2, kUp}, {1, kUp}, {0, kUp}}, 3, same},
      {"x{enter}{right}{enter}{left}{down}7{up}{esc}",
       {{0, kEnter}, {1, kEnter}, {2, kDown}, {3, kUp}},
       2,
       {"Annx", "Blue", "Yes", "427"}},
      // Page keys do nothing unless a field's own flags let them leave.
      {"{pgdn}{pgup}{esc}", {}, 0, same},
      // Esc anywhere leaves every value as it was.
      {"{esc}", {}, 0, same},
      {"Bob{bs}{esc}", {}, 0, same},
      {"{down}{right}{esc}", {{0, kDown}}, 1, same},  // a choice field empties its own value
      {"{up}{up}{left}{esc}", {{0, kUp}, {3, kUp}}, 2, same},
      {"{up}{bs}{bs}9{esc}", {{0, kUp}}, 3, same},
  };
  for (const auto& c : cases) {
    for (const bool withCheck : {true, false}) {
      SCOPED_TRACE(::testing::Message() << "keys " << c.keys << (withCheck ? " checked" : ""));
      FormScreen t;
      std::vector<std::pair<int, int>> checks;
      const FormCheck check = [&](int index, std::string&, int code, bool&) {
        checks.emplace_back(index, code);
        return true;
      };
      EXPECT_EQ(t.Run(c.keys, withCheck ? check : FormCheck{}), kFieldEsc);
      EXPECT_EQ(checks, withCheck ? c.checks : decltype(checks){});
      // The fields' screen rows 10, 12, ... are cursor rows 9, 11, ...
      EXPECT_EQ((t.display.AtKeyWaits().back().cursorY - 9) / 2, c.lastField);
      EXPECT_EQ(Values(t.records), c.values);
      EXPECT_EQ(t.display.PendingKeys(), 0u);
    }
  }
}

TEST(RunFormTest, ExitsWithoutStoringEndTheForm) {
  struct Case {
    uint16_t textFlags;
    uint16_t choiceFlags;
    const char* keys;
    int result;
  } cases[] = {
      {kFormPageKeysLeave | kFormPageKeysNoStore, 0, "new{pgup}", kFieldPageUp},
      {kFormPageKeysLeave | kFormPageKeysNoStore, 0, "{pgdn}", kFieldPageDown},
      {0, kChoicePageKeysLeave | kChoicePageKeysNoStore, "{down}{right}{pgdn}", kFieldPageDown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    FormScreen t;
    t.records[0].flags = c.textFlags;
    t.records[1].flags = c.choiceFlags;
    EXPECT_EQ(t.Run(std::string(c.keys) + "{enter}"), c.result);
    EXPECT_EQ(Values(t.records), Values(SampleForm()));
    EXPECT_EQ(t.display.PendingKeys(), 1u);
  }
}

TEST(RunFormTest, UpAndDownAlwaysStoreAndTextFieldsTurnInactive) {
  FormScreen t;
  // Flags that would make Up and Down leave without storing on their own.
  t.records[0].flags = kFormUpDownNoStore;
  t.records[1].flags = kChoiceUpDownNoStore;
  EXPECT_EQ(t.Run("z{down}{left}{down}{esc}"), kFieldEsc);
  EXPECT_EQ(Values(t.records), (std::vector<std::string>{"Annz", "Red", "No", "42"}));
  // The text field left was redrawn inactive; the choice field keeps its colour.
  EXPECT_EQ(t.Text(5, 10, 10), "Annz      ");
  EXPECT_EQ(t.Attr(5, 10), kInactiveAttr);
  EXPECT_EQ(t.Attr(14, 10), kInactiveAttr);
  EXPECT_EQ(t.Text(5, 12, 6), "Red   ");
  EXPECT_EQ(t.Attr(5, 12), kActiveAttr);
}

TEST(RunFormTest, CheckCanRefuseChangeAndStop) {
  // Refused: the user stays on the field, which shows what was entered.
  FormScreen refused;
  std::vector<std::string> seen;
  refused.Run("{bs}{bs}{bs}bad{enter}{bs}{bs}{bs}ok{down}{esc}",
              [&](int index, std::string& value, int, bool&) {
                seen.push_back(std::to_string(index) + value);
                return value != "bad";
              });
  EXPECT_EQ(seen, (std::vector<std::string>{"0bad", "0ok"}));
  EXPECT_EQ(Values(refused.records), (std::vector<std::string>{"ok", "Green", "No", "42"}));
  // After the refusal the field was drawn again with the refused text.
  ASSERT_GE(refused.display.AtKeyWaits().size(), 8u);
  EXPECT_EQ(refused.display.AtKeyWaits()[7].Text(4, 9, 10), "bad       ");

  // The check's change is what is stored.
  FormScreen changed;
  changed.Run("{home}x{enter}{esc}", [&](int, std::string& value, int, bool&) {
    value = "[" + value + "]";
    return true;
  });
  EXPECT_EQ(changed.records[0].value, "[xAnn]");

  // Stop ends the form after the field, stored when accepted and not when refused.
  for (const bool accept : {true, false}) {
    SCOPED_TRACE(accept ? "accepted" : "refused");
    FormScreen t;
    const int result =
        t.Run("{down}{right}{up}{enter}", [&](int index, std::string&, int, bool& stop) {
          stop = index == 1;
          return accept || index == 0;
        });
    EXPECT_EQ(result, kFieldUpStored);
    EXPECT_EQ(t.records[1].value, accept ? "Blue" : "Green");
    EXPECT_EQ(t.display.PendingKeys(), 1u);
  }
}

TEST(RunFormTest, BadFormsAreRefusedBeforeAnythingIsDrawn) {
  FormScreen noChoices, otherKind, empty;
  noChoices.records[2].choices.clear();
  otherKind.records[3].kind = 2;
  empty.records.clear();
  EXPECT_THROW(noChoices.Run("{enter}"), EReadMultiChoiceException);
  EXPECT_THROW(otherKind.Run("{enter}"), std::invalid_argument);
  EXPECT_EQ(empty.Run("{enter}"), 0);
  for (const FormScreen* t : {&noChoices, &otherKind, &empty}) {
    EXPECT_EQ(t->display.PendingKeys(), 1u);
    EXPECT_EQ(t->Attr(5, 10), kUntouchedAttr);
  }
}

}  // namespace
}  // namespace torvex
