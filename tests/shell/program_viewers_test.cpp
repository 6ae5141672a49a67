// The menu's and command line's room codes reach the room browser and the
// walker's start over the configured room file; the text code reaches the
// text-block browser.
#include "shell/program_viewers.h"

#include <gtest/gtest.h>

#include "database/records/records.h"
#include "shell/command_line.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"

namespace torvex::testing {
namespace {

class ProgramViewersTest : public RecordFilesTest {
 protected:
  // How many key waits showed the record manager's error box.
  int ErrorBoxes() const {
    int n = 0;
    for (const auto& snap : hc.display.AtKeyWaits()) {
      for (int y = 0; y < snap.height; ++y) {
        if (snap.Row(y).find("[Error]") != std::string::npos) {
          ++n;
          break;
        }
      }
    }
    return n;
  }

  HeadlessConsole hc;
};

TEST_F(ProgramViewersTest, RoomCodesReachTheRoomBrowserAndTheWalkerStart) {
  const Viewers viewers = MakeProgramViewers(hc.console);
  const struct {
    int code;
    bool roomFile;
    const char* keys;
    int errorBoxes;
    const char* title;  // the window title afterwards; nullptr: not checked
  } cases[] = {{kViewRooms, true, "q", 0, "TORVEXNT - Room : Gate (5/1)"},
               {kViewRoomWalker, true, "", 0, nullptr},
               {kViewRoomWalker, false, " ", 1, nullptr},
               {kViewRooms, false, " ", 1, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    if (c.roomFile) {
      RoomRecord gate;
      gate.setMapNumber(1);
      gate.setRoomNumber(5);
      gate.setTitle("Gate");
      MakeFile(kRoomFile, {Bytes(gate)});
    } else {
      RemoveFile(kRoomFile);
    }
    const int before = ErrorBoxes();
    hc.display.PushText(c.keys);
    viewers.Run(c.code);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
    EXPECT_EQ(ErrorBoxes() - before, c.errorBoxes);
    if (c.title) {
      EXPECT_EQ(hc.display.Title(), c.title);
    }
  }
}

TEST_F(ProgramViewersTest, TheTextCodeReachesTheTextBlockBrowser) {
  TextBlockRecord part;
  part.setBlockNumber(12);
  part.setText("H");
  MakeFile(kTextFile, {{part.data(), part.data() + part.storedLength()}});
  hc.display.PushText("q");
  MakeProgramViewers(hc.console).Run(kViewTextBlocks);
  EXPECT_EQ(hc.display.PendingKeys(), 0u);
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Text : 12/0 (0xc/0x0)");
}

}  // namespace
}  // namespace torvex::testing
