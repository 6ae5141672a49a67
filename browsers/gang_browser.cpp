#include "browsers/gang_browser.h"

#include <string>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "console/people_text.h"
#include "database/records/records.h"
#include "screens/screens.h"

namespace torvex {
namespace {

constexpr char kHelpText[] =
    "Use the following keys to navigate the gangs data:\r\n\r\n"
    "  >    Move to next logical gang\r\n"
    "  <    Move to previous logical gang\r\n"
    "  }    Move to next physical gang\r\n"
    "  {    Move to previous physical gang\r\n"
    "  F    Move to the first gang\r\n"
    "  L    Move to the last gang\r\n"
    "  G    Go to a specific gang\r\n"
    "  Q    Exit the gang viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

constexpr uint8_t kRolledOver = 0x08;

// Where each flag's label stands on the flag row, bit 0 first.
struct FlagLabel {
  const char* text;
  int column;
};
// clang-format off
constexpr FlagLabel kFlagLabels[] = {
    {"|09B1", 19},         {"|09B2", 24},         {"|09Disbanded", 29}, {"|09RolledOver", 41},
    {"|09B5", 54},         {"|09B6", 59},         {"|09B7", 64},        {"|09B8", 69},
};
// clang-format on

std::string GangTitle(std::span<const uint8_t> record) {
  const std::string name = GangRecord(record).name();
  return Format("%s - %s : %s", kProgramTitle, "Gang", name.empty() ? "<unnamed>" : name.c_str());
}

bool SafeInFileName(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

BrowserDescription MakeDescription() {
  BrowserDescription d(kGangFile);
  d.kindWord = "Gang";
  d.helpTitle = "Gangs Help";
  d.helpText = kHelpText;
  d.jumpTitle = "Goto Gang";
  d.jumpPrompt = "Enter a gang ID to jump to:";
  d.showDetail = [](BrowserState& s) { ShowGangDetail(s.console, s.Record()); };
  d.windowTitle = GangTitle;
  d.key = StringKey(GangRecord::kGangIDLength);
  d.rawDumpName = GangRawDumpName;
  return d;
}

}  // namespace

unsigned __int128 GangTotalExp(uint8_t flags, uint16_t rollCount, uint32_t exp, uint32_t extraExp) {
  if ((flags & kRolledOver) == 0) return exp;
  return static_cast<unsigned __int128>(rollCount) * 4294967295u + exp + extraExp;
}

std::string GangRawDumpName(std::span<const uint8_t> record) {
  std::string id = GangRecord(record).gangID();
  for (char& c : id) {
    if (!SafeInFileName(c)) c = '_';
  }
  return std::string("rawgangs") + kRawDumpEdition + "-" + id + ".bin";
}

const BrowserDescription& GangBrowserDescription() {
  static const BrowserDescription description = MakeDescription();
  return description;
}

void RunGangBrowser(Console& console) {
  RunBrowser(console, GangBrowserDescription());
}

void ShowGangDetail(Console& console, std::span<const uint8_t> record) {
  const GangRecord gang(record);
  PaintDetailScreen(console, screens::kGangBrowser);

  WriteValueAt(console, kValueLeft, 2, gang.gangID());
  WriteValueAt(console, kValueLeft, 3, gang.name());
  WriteValueAt(console, kValueRight, 3, std::to_string(gang.members()));
  WriteValueAt(console, kValueLeft, 4, gang.leader());
  for (int bit = 0; bit < 8; ++bit) {
    if ((gang.flags() >> bit) & 1) {
      WriteColourClipped(console, kFlagLabels[bit].column, 6, kFlagLabels[bit].text);
    }
  }
  WriteValueAt(console, kValueLeft, 7, DateText(gang.created()));
  WriteValueAt(console, kValueLeft, 8, GroupedNumber(int64_t{gang.exp()}));
  WriteValueAt(console, kValueRight, 8, GroupedNumber(int64_t{gang.rollCount()}));
  WriteValueAt(console, kValueLeft, 9, GroupedNumber(int64_t{gang.extraExp()}));
  WriteValueAt(
      console, kValueLeft, 10,
      GroupedNumber(GangTotalExp(gang.flags(), gang.rollCount(), gang.exp(), gang.extraExp())));
  console.GotoXY(3, 49);
}

}  // namespace torvex
