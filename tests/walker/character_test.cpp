// The character against real record files: training in halls, the stat form,
// death and reroll, SET CHAR and the status screen.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "console/form.h"
#include "database/records/text_block_text.h"
#include "database/settings.h"
#include "platform/random.h"
#include "tests/walker/walker_test_world.h"
#include "walker/character_death.h"
#include "walker/character_form.h"
#include "walker/character_screens.h"
#include "walker/character_settings.h"
#include "walker/character_training.h"
#include "walker/commands.h"
#include "walker/holdings.h"
#include "walker/walker.h"

namespace torvex {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;

// Items of the character tests.
constexpr uint32_t kLoyalAmulet = 20;  // Loyal Item
constexpr uint32_t kCursedRing = 21;   // Major Curse
constexpr uint32_t kPoofGem = 22;      // returns to its place on death
constexpr uint32_t kDeathToken = 23;   // death text block 77
constexpr uint32_t kPoofKey = 24;      // a key that returns to its place
constexpr uint32_t kMailShirt = 25;    // armour class 25, damage reduction 7
constexpr uint32_t kWarriorHelm = 26;  // for class 1 only
constexpr uint32_t kNoSuchItem = 98;
// Shops.
constexpr uint32_t kHallShop = 1;      // training hall, any class, levels 2 to 20, markup 20
constexpr uint32_t kMageHallShop = 2;  // training hall for class 2 only
constexpr uint32_t kStallShop = 3;     // an ordinary shop
constexpr uint32_t kHighHallShop = 4;  // training hall from level 5
constexpr uint32_t kNoShop = 9;
// Rooms of map 1.
constexpr uint32_t kTrainingRoom = 7;
constexpr uint32_t kGraveyard = 8;  // death room 9
constexpr uint32_t kChapel = 9;
constexpr uint32_t kShrine = 2189;  // the default death room below level 40

class CharacterTest : public WalkerWorldTest {
 protected:
  void SetUp() override {
    WalkerWorldTest::SetUp();
    savedSession_ = CurrentWalkerSession();
    savedSeed_ = ProgramRandom().Seed();
    auto item = [](uint32_t number, const char* name, uint16_t ability = 0, int16_t value = 0) {
      ItemRecord r;
      r.setNumber(number);
      r.setName(name);
      r.setAbilityNumbers(0, ability);
      r.setAbilityValues(0, value);
      return r;
    };
    ItemRecord gem = item(kPoofGem, "moon gem"), key = item(kPoofKey, "bone key"),
               shirt = item(kMailShirt, "mail shirt"), helm = item(kWarriorHelm, "iron helm");
    gem.setPoofOnDeath(1);
    key.setItemType(static_cast<uint16_t>(ItemType::kKey));
    key.setPoofOnDeath(1);
    shirt.setArmourClass(25);
    shirt.setDamageReduction(7);
    helm.setWornOn(2);
    helm.setClasses(0, 1);
    MakeFile(kItemFile,
             {Bytes(item(kRustyKey, "rusty key")), Bytes(item(kLoyalAmulet, "amulet", 100, 1)),
              Bytes(item(kCursedRing, "black ring", 83, 1)), Bytes(gem),
              Bytes(item(kDeathToken, "token", 155, 77)), Bytes(key), Bytes(shirt), Bytes(helm)});
    // The token's death text block sends the character on to the chapel.
    TextBlockRecord block;
    block.setBlockNumber(77);
    block.setText(EncodeStoredText("TELEPORT 9"));
    MakeFile(kTextFile, {{block.data(), block.data() + block.storedLength()}});

    auto shop = [](uint32_t number, uint16_t type, uint16_t trainClass, uint16_t minLevel) {
      ShopRecord s;
      s.setNumber(number);
      s.setShopType(type);
      s.setTrainClass(trainClass);
      s.setMinLevel(minLevel);
      s.setMaxLevel(20);
      s.setMarkupPercent(20);
      return Bytes(s);
    };
    MakeFile(kShopFile, {shop(kHallShop, 8, 0, 2), shop(kMageHallShop, 8, 2, 2),
                         shop(kStallShop, 0, 0, 2), shop(kHighHallShop, 8, 0, 5)});

    RoomRecord graveyard = MakeRoom(1, kGraveyard, "Graveyard", {});
    graveyard.setDeathRoom(kChapel);
    MakeFile(kRoomFile, {Bytes(Crossroads()), Bytes(MakeRoom(1, kHall, "Hall", {})),
                         Bytes(TrainingRoom(kHallShop)), Bytes(graveyard),
                         Bytes(MakeRoom(1, kChapel, "Chapel", {})),
                         Bytes(MakeRoom(1, kShrine, "Shrine", {}))});
    ClearCaches();
  }
  void TearDown() override {
    CurrentWalkerSession() = savedSession_;
    ProgramRandom().SetSeed(savedSeed_);
    WalkerWorldTest::TearDown();
  }

  static RoomRecord TrainingRoom(uint32_t shop) {
    RoomRecord room = MakeRoom(1, kTrainingRoom, "Training Hall", {});
    room.setRoomType(1);
    room.setShopNumber(shop);
    return room;
  }

  // A human warrior (P = 100, hit-point range 6) standing in `room`.
  static WalkerSession Warrior(const RoomRecord& room) { return SessionIn(room); }

  // How a typed line left the turn.
  struct TurnEnd {
    RoomShow show = RoomShow::kNothing;
    bool leave = false;
  };

  // Runs `text` at the prompt with `keys` queued for what it waits for; every
  // key must be read.
  std::vector<std::string> Type(WalkerSession& session, const std::string& text,
                                TurnEnd* end = nullptr, const std::string& keys = "") {
    HeadlessConsole hc;
    hc.display.PushText(keys);
    WalkTurn turn{hc.console, session};
    RunTypedLine(turn, text);
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << text;
    if (end) *end = {turn.show, turn.leave};
    return ScreenLines(hc);
  }

 private:
  WalkerSession savedSession_;
  uint32_t savedSeed_ = 0;
};

TEST_F(CharacterTest, TrainingAsksForAHallTheRightClassLevelAndExperience) {
  const char* kNotHall = "|07You must be in an appropriate training room to train!";
  const char* kNotFarEnough =
      "|07You have not progressed far enough to use the training provided here.";
  const char* kTooFar = "|07You have progressed too far to use the training provided here.";
  const char* kNoExperience = "|07You do not have the required experience to train yet!";
  RoomRecord notAShopRoom = TrainingRoom(kHallShop);
  notAShopRoom.setRoomType(0);
  const struct {
    RoomRecord room;
    int32_t level;
    uint64_t experience;
    Lines lines;
  } cases[] = {
      {notAShopRoom, 1, 1000, {kNotHall}},
      {TrainingRoom(kNoShop), 1, 1000, {kNotHall}},
      {TrainingRoom(kStallShop), 1, 1000, {kNotHall}},
      {TrainingRoom(kMageHallShop), 1, 1000, {"|07This shop is not suitable for your training."}},
      {TrainingRoom(kHighHallShop), 3, 2000, {kNotFarEnough}},  // level 4 is taught from 5
      {TrainingRoom(kHallShop), 20, UINT64_MAX, {kTooFar}},
      {TrainingRoom(kHallShop), 1, 999, {kNoExperience}},  // level 2 needs 10 * P = 1000
      {TrainingRoom(kHallShop), 9, 81122, {kNoExperience}},
  };
  for (const auto& c : cases) {
    WalkerSession session = Warrior(c.room);
    session.character.level = c.level;
    session.character.experience = c.experience;
    EXPECT_EQ(TrainLevel(session), c.lines) << c.level << " " << c.room.shopNumber();
    EXPECT_EQ(session.character.level, c.level);
  }
}

TEST_F(CharacterTest, TrainingGrantsPointsLivesAndAHitPointRoll) {
  // The price at markup 20 for level n: (120 * 5n) / 100 * 10 copper.
  EXPECT_EQ(TrainingCost(20, 10), 600u);
  EXPECT_EQ(TrainingCost(20, 3), 180u);  // 1800 / 100 = 18, * 10
  // clang-format off
  const struct {
    int32_t level, lives;
    uint64_t experience;
    int32_t livesAfter, pointsAfter;
    Lines lines;
  } cases[] = {
      // Level 10 needs 81123 at P = 100; (9 / 10) * 5 + 10 = 10 points.
      {9, 9, 81123, 9, 10,
       {"|07You hand over 6 gold crowns and you receive training to attain level 10.",
        "You receive the following:", "10 additional character points"}},
      // (10 / 10) * 5 + 10 = 15 points; 3 + 5 lives.
      {10, 3, UINT64_MAX, 8, 15,
       {"|07You hand over 6 gold crowns, 6 silver nobles and you receive training to attain "
        "level 11.",
        "You receive the following:", "15 additional character points", "5 additional lives"}},
      // Six lives rise to nine only.
      {2, 6, UINT64_MAX, 9, 10,
       {"|07You hand over 1 gold crown, 8 silver nobles and you receive training to attain "
        "level 3.",
        "You receive the following:", "10 additional character points", "3 additional lives"}},
      // Lives set above nine by hand stay.
      {2, 12, UINT64_MAX, 12, 10,
       {"|07You hand over 1 gold crown, 8 silver nobles and you receive training to attain "
        "level 3.",
        "You receive the following:", "10 additional character points"}},
  };
  // clang-format on
  for (const auto& c : cases) {
    WalkerSession session = Warrior(TrainingRoom(kHallShop));
    session.character.level = c.level;
    session.character.lives = c.lives;
    session.character.experience = c.experience;
    session.holdings.gold = 50;
    ProgramRandom().SetSeed(1234);
    Random drawn(1234);
    EXPECT_EQ(TrainLevel(session), c.lines) << c.level;
    EXPECT_EQ(session.character.level, c.level + 1);
    EXPECT_EQ(session.character.lives, c.livesAfter) << c.level;
    EXPECT_EQ(session.character.characterPoints, c.pointsAfter) << c.level;
    // One roll from 0 to the warrior's range of 6, both included.
    EXPECT_EQ(session.character.rolledHitPoints, static_cast<int32_t>(drawn.Next(7)));
    EXPECT_EQ(session.holdings.gold, 50) << "the price is named, not taken";
  }
}

TEST_F(CharacterTest, TrainAndBuyTrainingAnswerInShopRoomsOnly) {
  WalkerSession outside = Warrior(Crossroads());
  EXPECT_EQ(Type(outside, "buy training"), Lines{"You cannot BUY if you are not in a shop!"});
  EXPECT_EQ(Type(outside, "TRAI"), Lines{"You must be in an appropriate training room to train!"});
  WalkerSession inside = Warrior(TrainingRoom(kHallShop));
  inside.character.experience = 1000;
  EXPECT_EQ(Type(inside, "bu t")[0].substr(0, 13), "You hand over");
  EXPECT_EQ(inside.character.level, 2);
}

TEST_F(CharacterTest, TheNameRule) {
  const struct {
    const char* name;
    bool valid;
  } cases[] = {
      {"_a-b9", true}, {"", true},       {"Ysolde", true}, {"z", true},    {"9abc", false},
      {"-ab", false},  {"ab cd", false}, {"ab|cd", false}, {"a.b", false}, {"\xE9t\xE9", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidName(c.name), c.valid) << c.name;
}

TEST_F(CharacterTest, FieldComplaints) {
  const struct {
    int field;
    const char* value;
    const char* complaint;  // "" for none
  } cases[] = {
      {kFieldFirstName, "", "You have entered an invalid name!"},
      {kFieldFirstName, "9abc", "Only ALPHA characters are allowed in a name!"},
      {kFieldFirstName, "_a-b9", ""},
      {kFieldLastName, "", ""},
      {kFieldLastName, "9abc", "You have entered an invalid name!"},
      {kFieldStrength, "250", ""},
      {kFieldStrength, "251", "Strength may not be higher than 250."},
      {kFieldStrength, "10", ""},
      {kFieldIntellect, "9", "Intellect may not be lower than 10."},
      {kFieldWillpower, "-5", "Willpower may not be lower than 10."},
      {kFieldAgility, "99999999999999999999", ""},  // no number: saved as the base value
      {kFieldHealth, "300", "Health may not be higher than 250."},
      {kFieldCharm, "0", "Charm may not be lower than 10."},
      {kFieldCharm, "", ""},
      {kFieldEyeColour, "golden", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatFormComplaint(c.field, c.value).value_or(""), c.complaint)
        << c.field << " " << c.value;
  }
}

// A human of the test world with stats and looks a form can change.
WalkerCharacter FormCharacter() {
  WalkerCharacter c;
  c.firstName = "Ysolde";
  c.lastName = "Tarn";
  c.strength = 40;
  c.intellect = 41;
  c.willpower = 42;
  c.agility = 43;
  c.health = 44;
  c.charm = 45;
  c.hairLength = 2;
  c.hairColour = 3;
  c.eyeColour = 4;
  c.characterPoints = 100;
  return c;
}

RaceRecord FormRace() {
  RaceRecord race;
  race.setName("Human");
  race.setBaseStrength(30);
  race.setBaseIntellect(31);
  race.setMaxStrength(90);
  return race;
}

// What the form may change, for comparing whole.
auto Looks(const WalkerCharacter& c) {
  return std::tie(c.firstName, c.lastName, c.strength, c.intellect, c.willpower, c.agility,
                  c.health, c.charm, c.hairLength, c.hairColour, c.eyeColour);
}

// Runs the stat form of a human warrior with the keys of `script` queued;
// true when it was saved.
bool RunForm(HeadlessConsole& hc, WalkerCharacter& character, const std::string& script) {
  PushScript(hc.display, script);
  return RunStatForm(hc.console, character, FormRace(), "Warrior");
}

TEST_F(CharacterTest, EscAtAnyFieldLeavesTheCharacterAsItWas) {
  // What is typed into each field before moving on with Enter: every field
  // takes a new valid value, so an Esc further on has something to throw away.
  const char* typed[] = {"Zed", "Quill", "99", "98", "97", "96", "95", "94", " ", " ", " ", ""};
  for (int escAt = 0; escAt < kStatFormFields; ++escAt) {
    std::string keys;
    for (int field = 0; field < escAt; ++field) keys += std::string(typed[field]) + "\r";
    keys += "\x1b";
    WalkerCharacter character = FormCharacter();
    HeadlessConsole hc;
    EXPECT_FALSE(RunForm(hc, character, keys)) << escAt;
    EXPECT_EQ(hc.display.PendingKeys(), 0u) << escAt;
    EXPECT_EQ(Looks(character), Looks(FormCharacter())) << "Esc at field " << escAt;
  }
}

TEST_F(CharacterTest, SaveStoresTheFormQuitDoesNot) {
  // Names, STR 250, INT emptied (the race's base 31), the others as they were;
  // hair length one on, hair colour two on, eye colour one back.
  // The last Enter presses SAVE.
  WalkerCharacter character = FormCharacter();
  HeadlessConsole hc;
  EXPECT_TRUE(RunForm(hc, character, "Zed\rQuill\r250\r\b\b\r\r\r\r\r \r  \r{left}\r\r"));
  EXPECT_EQ(character.firstName, "Zed");
  EXPECT_EQ(character.lastName, "Quill");
  EXPECT_EQ(character.strength, 250);
  EXPECT_EQ(character.intellect, 31);
  EXPECT_EQ(character.willpower, 42);
  EXPECT_EQ(character.charm, 45);
  EXPECT_EQ(character.hairLength, 3);
  EXPECT_EQ(character.hairColour, 5);
  EXPECT_EQ(character.eyeColour, 3);
  EXPECT_EQ(character.characterPoints, 100) << "points are shown, not spent";

  // EDIT goes back to the first field; QUIT then leaves without storing.
  WalkerCharacter again = FormCharacter();
  HeadlessConsole hc2;
  EXPECT_FALSE(RunForm(hc2, again, std::string(11, '\r') + " \rZed{down}{up}{up} \r"));
  EXPECT_EQ(hc2.display.PendingKeys(), 0u);
  EXPECT_EQ(Looks(again), Looks(FormCharacter()));
}

TEST_F(CharacterTest, AFieldThatFailsItsCheckKeepsTheCursorAndSaysWhy) {
  WalkerCharacter character = FormCharacter();
  HeadlessConsole hc;
  // STR 251 is refused; 250 then passes and clears the message row.
  RunForm(hc, character, "\r\r251\r\x1b");
  const HeadlessDisplay::Snapshot& last = hc.display.AtKeyWaits().back();
  std::string row23 = last.Row(kFormMessageRow - 1);
  row23.erase(row23.find_last_not_of(' ') + 1);
  EXPECT_EQ(row23, "Strength may not be higher than 250.");
  EXPECT_EQ(last.cursorY + 1, 9) << "still on the strength field";

  HeadlessConsole hc2;
  RunForm(hc2, character, "\r\r251\r250\r\x1b");
  EXPECT_EQ(hc2.Text(1, kFormMessageRow, 80), std::string(80, ' '));
  // The sheet shows the values and the race's ranges where the fields are.
  EXPECT_EQ(hc2.Text(20, 4, 18), "Ysolde            ");
  EXPECT_EQ(hc2.Text(20, 6, 5), "Human");
  EXPECT_EQ(hc2.Text(20, 9, 12), "  30 to   90");
  EXPECT_EQ(hc2.Text(34, 14, 4), "  45");
  EXPECT_EQ(hc2.Text(22, 16, 15), "shoulder-length");
  EXPECT_EQ(hc2.Text(65, 13, 5), "  100");
}

TEST_F(CharacterTest, TrainStatsNeedsATrainingHallForTheClass) {
  const struct {
    uint32_t shop;
    const char* line;  // the refusal, or "" when the form runs
    uint8_t colour;
  } cases[] = {
      {kNoShop, "You may not train your stats here!", 12},
      {kStallShop, "You may not train your stats here!", 7},
      {kMageHallShop, "You may not train your stats here!", 7},
      {kHallShop, "", 0},
  };
  for (const auto& c : cases) {
    WalkerSession session = Warrior(TrainingRoom(c.shop));
    HeadlessConsole hc;
    hc.display.PushText("\x1b");
    const bool ran = TrainStats(hc.console, session);
    EXPECT_EQ(ran, *c.line == '\0') << c.shop;
    EXPECT_EQ(hc.display.PendingKeys(), ran ? 0u : 1u) << c.shop;
    if (!ran) {
      EXPECT_EQ(ScreenLines(hc), Lines{c.line}) << c.shop;
      EXPECT_EQ(hc.Attr(1, 1), c.colour) << c.shop;
    }
  }
  // TRAIN STATS shows the status screen after the form.
  WalkerSession session = Warrior(TrainingRoom(kHallShop));
  const Lines lines = Type(session, "trai stats", nullptr, "\x1b");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].substr(0, 12), "Name: Ysolde");
}

TEST_F(CharacterTest, StatusScreen) {
  WalkerSession session = Warrior(Crossroads());
  WalkerCharacter& c = session.character;
  c.lastName = "Tarn";
  c.lives = 7;
  c.characterPoints = 12;
  c.level = 3;
  c.experience = 5000000000ull;
  c.strength = 61;
  session.holdings.wornItems[4] = kMailShirt;
  CharacterSheet sheet;
  sheet.race.setName("Human");
  sheet.characterClass.setName("Mage");
  sheet.characterClass.setMagicType(kMagicMage);
  sheet.characterClass.setMagicLevel(2);
  sheet.characterClass.setAbilityNumbers(0, 69);  // Mana 4: marked "*"
  sheet.characterClass.setAbilityValues(0, 4);
  sheet.race.setAbilityNumbers(0, 10);  // shield 5: armour class (25 + 5) / 10
  sheet.race.setAbilityValues(0, 5);
  sheet.race.setAbilityNumbers(1, 7);  // damage resistance 13: (7 + 13) / 10
  sheet.race.setAbilityValues(1, 13);
  // All other stats 50: H(x) = x + 25 at minimum 0 and range 0; mana
  // 2 * 3 * 2 + 6 + 4 = 22; spellcasting 200 / 6 + 6 + 10 = 49; perception
  // 400 / 8 = 50; martial arts 1 + 5 + 10 = 16; magic resistance 200 / 4 = 50.
  const Lines want = {
      "|02Name: |03Ysolde Tarn                      |02Lives/CP:      |037/12",
      "|02Race: |03Human       |02Exp: |035000000000      |02Perception: |03    50",
      "|02Class: |03Mage       |02Level: |033             |02Stealth: |03        0",
      "|02Hits: |12 |03  25/25    |02Armour Class: |03  3/2  |02Thievery: |03       0",
      "|02Mana: |12*|03  22/22    |02Spellcasting: |0349     |02Traps: |03          0",
      "                                       |02Picklocks:    |03   0",
      "|02Strength: |03 61     |02Agility:|03 50          |02Tracking:     |03   0",
      "|02Intellect:|03 50     |02Health: |03 50          |02Martial Arts: |03  16",
      "|02Willpower:|03 50     |02Charm:  |03 50          |02MagicRes:     |03  50",
  };
  EXPECT_EQ(StatusLines(session, sheet), want);
}

TEST_F(CharacterTest, SuicideSendsToTheDeathRoomAndKeepsLoyalAndCursedItems) {
  WalkerSession session = Warrior(MakeRoom(1, kGraveyard, "Graveyard", {}));
  session.room.setDeathRoom(kChapel);
  WalkerCharacter& c = session.character;
  c.lives = 3;
  WalkerHoldings& h = session.holdings;
  h.gold = 40;
  h.runic = 2;
  const int32_t carried[] = {kPoofGem,    kLoyalAmulet, kNoSuchItem,
                             kCursedRing, kDeathToken,  kRustyKey};
  for (size_t i = 0; i < std::size(carried); ++i) {
    h.items[i * 10] = carried[i];
    h.itemUses[i * 10] = 1;
  }
  h.keys[0] = kPoofKey;
  h.keys[3] = kNoSuchItem;
  h.wornItems[2] = kLoyalAmulet;
  h.weapon = kRustyKey;
  h.torchItemIndex = 10;
  TurnEnd turn;
  const Lines lines = Type(session, "SUICIDE", &turn);
  EXPECT_EQ(
      lines,
      (Lines{"After a LONG thought, you take your own life.", "You now have 2 lives remaining.",
             "Your moon gem has returned to its rightful place.", "Kil:Item 98 not found",
             "Your bone key has returned to its rightful place.", "Kil:Key 98 not found"}));
  EXPECT_EQ(c.lives, 2);
  EXPECT_EQ(session.roomNumber(), kChapel);
  EXPECT_EQ(turn.show, RoomShow::kAsBriefModeSays);
  EXPECT_FALSE(turn.leave);
  EXPECT_EQ(h.gold + h.runic + h.platinum + h.silver + h.copper, 0);
  for (size_t i = 0; i < std::size(carried); ++i) {
    const bool stays = i == 1 || i == 3;  // the loyal amulet and the cursed ring
    EXPECT_EQ(h.items[i * 10], stays ? carried[i] : 0) << i;
    EXPECT_EQ(h.itemUses[i * 10], stays ? 1 : -1) << i;
  }
  EXPECT_EQ(h.keys[0], 0);
  EXPECT_EQ(h.keyUses[0], -2);
  EXPECT_EQ(h.wornItems[2], 0);
  EXPECT_EQ(h.weapon, 0);
  EXPECT_EQ(h.torchItemIndex, -1);
  EXPECT_FALSE(c.newCharacter);
}

TEST_F(CharacterTest, DeathRoomsAndTheDeathTextBlock) {
  const struct {
    int32_t level;
    uint32_t deathRoom;  // of the room died in
    uint32_t room;       // where the character ends
    Lines lines;         // after the first two
  } cases[] = {
      {39, 0, kShrine, {}},
      {40, 0, kCrossroads, {"Map 1 Room 142 does not exist!"}},
      {1, kNowhere, kCrossroads, {"Map 1 Room 99 does not exist!"}},
  };
  for (const auto& c : cases) {
    RoomRecord here = Crossroads();
    here.setDeathRoom(c.deathRoom);
    WalkerSession session = Warrior(here);
    session.character.level = c.level;
    session.character.lives = 2;
    Lines lines = Type(session, "suicide");
    ASSERT_GE(lines.size(), 2u);
    lines.erase(lines.begin(), lines.begin() + 2);
    EXPECT_EQ(lines, c.lines) << c.level;
    EXPECT_EQ(session.roomNumber(), c.room) << c.level;
  }
  // The token's block runs after the move to the shrine and moves on.
  WalkerSession session = Warrior(Crossroads());
  session.character.lives = 2;
  session.options.debugging = 0;
  session.holdings.items[0] = kDeathToken;
  TurnEnd turn;
  Type(session, "suicide", &turn);
  EXPECT_EQ(session.roomNumber(), kChapel);
  EXPECT_EQ(turn.show, RoomShow::kAsBriefModeSays);

  // The death text block is that of the last item found, staying or not.
  WalkerHoldings h;
  h.items[5] = kDeathToken;
  EXPECT_EQ(TakeBelongingsOnDeath(h).deathTextBlock, 77u);
  h.items[5] = kDeathToken;
  h.items[6] = kLoyalAmulet;
  EXPECT_EQ(TakeBelongingsOnDeath(h).deathTextBlock, 0u);
}

TEST_F(CharacterTest, RerollAndTheLastLifeMakeWayForANewCharacter) {
  const struct {
    int32_t level;
    uint64_t experience;
    uint64_t after;
  } cases[] = {
      {1, 5000, 0},
      // Own percentages 50 + 50 = 100: ExpForLevel(5, 100) = 6721, + 1.
      {10, 20000, 6722},
      {10, 100000, 10000},  // a tenth is more
      {3, 0, 1},            // level 3 / 2 = 1 needs 0, + 1
  };
  for (const auto& c : cases) {
    WalkerCharacter character;
    character.level = c.level;
    character.experience = c.experience;
    character.rolledHitPoints = 30;
    character.newCharacter = false;
    CharacterSheet sheet;
    sheet.race.setExpPercent(50);
    sheet.characterClass.setExpPercent(50);
    ResetForNewCharacter(character, sheet);
    EXPECT_EQ(character.experience, c.after) << c.level << " " << c.experience;
    EXPECT_EQ(character.level, 1);
    EXPECT_EQ(character.rolledHitPoints, 0);
    EXPECT_TRUE(character.newCharacter);
  }
  for (const char* command : {"reroll", "suicide"}) {
    WalkerSession session = Warrior(Crossroads());
    session.character.lives = 1;
    session.character.level = 1;
    session.character.experience = 700;
    TurnEnd turn;
    // Keys other than Enter are passed over; Enter ends the walk.
    EXPECT_EQ(Type(session, command, &turn, "x\r"),
              Lines{"After a LONG thought, you take your own life"})
        << command;
    EXPECT_TRUE(turn.leave) << command;
    EXPECT_EQ(session.character.experience, 0u) << command;
    EXPECT_TRUE(session.character.newCharacter) << command;
  }
}

TEST_F(CharacterTest, TheNextWalkAfterARerollCreatesACharacter) {
  CurrentSettings().simulator = SimulatorSettings{};
  CurrentSettings().simulator.roomRolled = false;
  HeadlessConsole hc;
  uint32_t map = 1, room = kCrossroads;
  hc.display.PushText("reroll\r\r");
  Walk(hc.console, map, room);
  EXPECT_TRUE(CurrentSettings().simulator.roomRolled) << "saved for the next run too";
  HeadlessConsole next;
  next.display.PushText("x\r");
  Walk(next.console, map, room);
  EXPECT_EQ(next.display.PendingKeys(), 0u);
  EXPECT_TRUE(Shows(Transcript(next), "Please choose a race from the following list:"));
}

TEST_F(CharacterTest, SetChar) {
  const struct {
    const char* line;
    Lines lines;
  } cases[] = {
      {"set char level 0", {"Character level may not be changed to 0."}},
      {"set char level lots", {"Character level may not be changed to lots."}},
      {"set char level 99999999999999", {"Character level changed to 65535."}},
      {"set char level 123456789012345678901234567890", {"Character level changed to 65535."}},
      {"set char level -3", {"Character level may not be changed to -3."}},
      {"set char l 1", {"Character level changed to 1."}},
      {"set char e 5000000000", {"Character experience changed to 5000000000."}},
      {"set char e -1", {"Character experience changed to 0."}},
      {"SET CHAR FIRST Wren", {"Character first name changed to \"Wren\"."}},
      {"set char la Oddly", {"Character last name changed to \"Oddly\"."}},
      {"set char la", {"Character last name changed to \"\"."}},
      {"set char race 3", {"Character race changed to 3 (Elf)."}},
      {"set char c 2", {"Character class changed to 2 (Mage)."}},
      {"set char class 77", {"Character class changed to 77 ()."}},
      {"set char str 120", {"Character STR changed to 120."}},
      {"set char str abc", {"Character STR changed to 50."}},
      {"set char str -5", {"Character STR changed to 50."}},
      {"set char ch 70", {"Character CHA changed to 70."}},
      {"set char li 4", {"Character lives changed to 4."}},
      {"set char ep -30", {"Character EP changed to -30."}},
      {"set char ge f", {"Character gender set to female."}},
      {"set char g f", {"\"f\" is not a valid item number!"}},  // G is GIVEITEM
      {"set char gender Male", {"Character gender set to male."}},
      {"set char gender other", {"\"other\" is not a recognized gender!"}},
      {"set char giveitem sword", {"\"sword\" is not a valid item number!"}},
      {"set char t 98", {"\"98\" is not a valid item number!"}},
      {"set char height 12", {"Unrecognized character setting, \"height\"!"}},
  };
  for (const auto& c : cases) {
    WalkerSession session = Warrior(Crossroads());
    session.character.level = 5;
    EXPECT_EQ(Type(session, c.line), c.lines) << c.line;
  }
  WalkerSession session = Warrior(Crossroads());
  const Lines syntax = Type(session, "set char");
  ASSERT_EQ(syntax.size(), SetCharacterSyntaxLines().size());
  EXPECT_EQ(syntax[0], "Syntax: SET CHAR <option> [...]");
}

TEST_F(CharacterTest, SetCharGivesTakesAndRechecksTheEquipment) {
  WalkerSession session = Warrior(Crossroads());
  ClearHoldings(session.holdings);
  EXPECT_EQ(Type(session, "set char giveitem 26"),
            Lines{"Item 26 (iron helm) given to character."});
  EXPECT_EQ(session.holdings.items[0], static_cast<int32_t>(kWarriorHelm));
  session.holdings.wornItems[0] = kWarriorHelm;
  // A mage may not wear the warrior's helm: it comes off before the class line.
  EXPECT_EQ(Type(session, "set char class 2"),
            (Lines{"Your iron helm has been removed.", "Character class changed to 2 (Mage)."}));
  EXPECT_EQ(session.holdings.wornItems[0], 0);
  EXPECT_EQ(Type(session, "set char takeitem 26"),
            Lines{"Item 26 (iron helm) taken from character."});
  EXPECT_EQ(session.holdings.items[0], 0);
  EXPECT_EQ(Type(session, "set char takeitem 26"),
            Lines{"Unable to take item 26 (iron helm) from character."});
}

TEST_F(CharacterTest, SetCharLevelMovesTheHitPointRolls) {
  const struct {
    int32_t from, to;
    int draws;  // rolls of 0..6 added (+) or taken away (-)
  } cases[] = {{5, 8, 3}, {8, 5, -3}, {5, 1, 0}, {3, 3, 0}};
  for (const auto& c : cases) {
    WalkerSession session = Warrior(Crossroads());
    session.character.level = c.from;
    session.character.rolledHitPoints = 100;
    ProgramRandom().SetSeed(99);
    Random drawn(99);
    int32_t want = 100;
    for (int i = 0; i < std::abs(c.draws); ++i) {
      want += (c.draws > 0 ? 1 : -1) * static_cast<int32_t>(drawn.Next(7));
    }
    if (c.to == 1) want = 0;
    Type(session, "set char level " + std::to_string(c.to));
    EXPECT_EQ(session.character.level, c.to);
    EXPECT_EQ(session.character.rolledHitPoints, want) << c.from << " to " << c.to;
  }
}

TEST_F(CharacterTest, CharacterCommandsAtThePrompt) {
  const struct {
    const char* line;
    Lines lines;
  } cases[] = {
      // Warrior, level 1, HEA 50: (21 * 50) / 750 = 1, resting 3.
      {"hpre", {"Raw HP Regen: 1/3", "Modified HP Regen: 1/3 (0%)"}},
      {"MPREGEN", {"Raw MP Regen: 0", "Modified MP Regen: 0 (0%)"}},
      {"exp", {"Exp: 0 Level: 1 Exp needed for next level: 1000 (1000) [0%]"}},
      {"ex", {"Your command had no effect."}},
  };
  for (const auto& c : cases) {
    WalkerSession session = Warrior(Crossroads());
    EXPECT_EQ(Type(session, c.line), c.lines) << c.line;
  }
  WalkerSession session = Warrior(Crossroads());
  session.character.characterClass = 99;
  EXPECT_EQ(Type(session, "mpregen"), Lines{"Class 99 is invalid, please choose a valid class!"});
  EXPECT_EQ(Type(session, "help exp").size(), 14u);
  EXPECT_EQ(Type(session, "? e")[0], "The following is a table of experience for Your character:");
}

}  // namespace
}  // namespace torvex
