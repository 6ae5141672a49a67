#include "browsers/message_browser.h"

#include <string>
#include <vector>

#include "browsers/detail_writer.h"
#include "console/colour_text.h"
#include "console/format.h"
#include "database/records/records.h"
#include "screens/screens.h"

namespace torvex {
namespace {

constexpr char kHelpText[] =
    "Use the following keys to navigate the messages data:\r\n\r\n"
    "  >    Move to next logical message\r\n"
    "  <    Move to previous logical message\r\n"
    "  }    Move to next physical message\r\n"
    "  {    Move to previous physical message\r\n"
    "  F    Move to the first message\r\n"
    "  L    Move to the last message\r\n"
    "  G    Go to a specific message\r\n"
    "  S    Search for a specific message\r\n"
    "  Q    Exit the message viewer\r\n\r\n"
    "You can also use ESC and X to quit the viewer.  When you use { and } you must use F, L or "
    "G to reset your navigation method to physical.  You cannot switch from logical to physical "
    "then back to logical navigation.";

std::vector<std::string> Lines(const MessageRecord& message) {
  return {message.line1(), message.line2(), message.line3()};
}

BrowserDescription MakeDescription() {
  BrowserDescription d(kMessageFile);
  d.kindWord = "Message";
  d.helpTitle = "Messages Help";
  d.helpText = kHelpText;
  d.searchTitle = "Search Messages";
  d.jumpTitle = "Goto Message";
  d.jumpPrompt = "Enter a message number to jump to:";
  d.showDetail = [](BrowserState& s) { ShowMessageDetail(s.console, s.Record()); };
  d.windowTitle = MessageTitle;
  SearchOption lines =
      TextSearchOption("Search Messages", kTextSearchPrompt,
                       [](std::span<const uint8_t> r) { return Lines(MessageRecord(r)); });
  lines.promptTitle = "Search Messages";
  d.searches = {lines};
  d.searchWithoutList = true;
  d.rawDumpName = [](std::span<const uint8_t> r) {
    return Format("rawmsg%s-%d.bin", kRawDumpEdition, static_cast<int32_t>(RecordNumberAt0(r)));
  };
  d.macros = MacroKind::kMessage;
  return d;
}

}  // namespace

const BrowserDescription& MessageBrowserDescription() {
  static const BrowserDescription description = MakeDescription();
  return description;
}

void RunMessageBrowser(Console& console) {
  RunBrowser(console, MessageBrowserDescription());
}

std::string MessageTitle(std::span<const uint8_t> record) {
  const uint32_t number = RecordNumberAt0(record);
  return Format("%s - %s : %d (0x%.1x)", "TORVEXNT", "Message", static_cast<int32_t>(number),
                number);
}

void ShowMessageDetail(Console& console, std::span<const uint8_t> record) {
  const MessageRecord message(record);
  PaintDetailScreen(console, screens::kMessageBrowser);

  WriteValueAt(console, 18, 2, std::to_string(message.number()));
  const std::vector<std::string> lines = Lines(message);
  for (size_t i = 0; i < lines.size(); ++i) {
    WriteValueAt(console, 3, 5 + 2 * static_cast<int>(i), Format("%-76.76s", lines[i].c_str()));
  }
  console.GotoXY(3, 49);
}

}  // namespace torvex
