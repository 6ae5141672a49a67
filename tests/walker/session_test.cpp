#include "walker/session.h"

#include <gtest/gtest.h>

namespace torvex {
namespace {

TEST(WalkerSessionTest, SettingsRoundTripKeepsTheCharacterAndHoldings) {
  Settings settings;
  settings.simulator.roomFirstName = "Ysolde";
  settings.simulator.roomExp = 5000000000;
  settings.simulator.roomRace = 3;
  settings.simulator.roomGender = "F";
  settings.simulator.roomRolled = false;
  settings.simulator.roomMapOptions = 63;
  settings.holdings.items[4] = 17;
  settings.holdings.torchItemIndex = 4;

  WalkerSession session;
  session.LoadFromSettings(settings);
  EXPECT_EQ(session.character.firstName, "Ysolde");
  EXPECT_EQ(session.character.experience, 5000000000u);
  EXPECT_EQ(session.character.gender, "female");
  EXPECT_FALSE(session.character.newCharacter);
  EXPECT_EQ(session.holdings.torchItemIndex, 4);

  Settings back;
  session.StoreToSettings(back);
  EXPECT_EQ(back.simulator.roomFirstName, "Ysolde");
  EXPECT_EQ(back.simulator.roomExp, 5000000000);
  EXPECT_EQ(back.simulator.roomRace, 3);
  EXPECT_EQ(back.simulator.roomGender, "F");
  EXPECT_FALSE(back.simulator.roomRolled);
  EXPECT_EQ(back.simulator.roomMapOptions, 63);
  EXPECT_EQ(back.holdings.items[4], 17);
}

// A saved session may name a lit item that is no longer carried, or an index
// outside the inventory: either way nothing is lit.
TEST(WalkerSessionTest, ALitItemIndexThatNamesNothingIsCleared) {
  for (int32_t index : {-7, 100, 5000, 3}) {
    Settings settings;
    settings.holdings.items[2] = 9;  // slot 3 is empty
    settings.holdings.torchItemIndex = index;
    settings.simulator.roomLevel = 1000000;
    settings.simulator.roomHairColor = 99;
    WalkerSession session;
    session.LoadFromSettings(settings);
    EXPECT_EQ(session.holdings.torchItemIndex, -1) << index;
    EXPECT_EQ(session.character.level, 65535);
    EXPECT_EQ(session.character.hairColour, 0);
  }
}

}  // namespace
}  // namespace torvex
