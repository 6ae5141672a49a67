// A small world for the walker's tests, written to a temporary data directory:
// a crossroads with an exit of each kind, the rooms they lead to, the
// messages, items, races, classes and the spell those exits name; and a
// headless console whose output can be read back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "database/records/enumerations.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/terminal/headless_display.h"
#include "tests/console/console_test_util.h"
#include "tests/database/record_files.h"
#include "walker/session.h"

namespace torvex::testing {

// Message numbers.
inline constexpr uint32_t kLeverMessage = 1;    // "The lever clunks."
inline constexpr uint32_t kPassingMessage = 2;  // "You squeeze through."
inline constexpr uint32_t kPoolWords = 3;       // "enter pool" / "DIVE"
inline constexpr uint32_t kPassageName = 4;     // "a crack to the %s"
inline constexpr uint32_t kBellWords = 5;       // "RING BELL"
inline constexpr uint32_t kBellMessage = 6;     // "The bell tolls."
inline constexpr uint32_t kZapMessage = 7;      // "%s takes %d damage"
// Items.
inline constexpr uint32_t kRustyKey = 10;
inline constexpr uint32_t kTorch = 11;  // light source, ability 54 = 100
inline constexpr uint32_t kPebble = 12;
// Rooms of map 1; map 2 has room 1 only.
inline constexpr uint32_t kCrossroads = 1;
inline constexpr uint32_t kHall = 2;
inline constexpr uint32_t kPool = 3;
inline constexpr uint32_t kNowhere = 99;  // no such room
inline constexpr uint16_t kZapSpell = 7;

// An exit of `room` in direction `d`.
struct ExitShape {
  int d;
  uint32_t to;
  ExitType type;
  uint32_t p1 = 0;
  uint16_t p2 = 0;
  uint32_t p3 = 0;
  uint32_t p4 = 0;
};

inline RoomRecord MakeRoom(uint32_t map, uint32_t number, const std::string& title,
                           const std::vector<ExitShape>& exits) {
  RoomRecord room;
  room.setMapNumber(map);
  room.setRoomNumber(number);
  room.setTitle(title);
  for (const ExitShape& e : exits) {
    room.setExitRoom(e.d, e.to);
    room.setExitType(e.d, static_cast<uint16_t>(e.type));
    room.setExitParameter1(e.d, e.p1);
    room.setExitParameter2(e.d, e.p2);
    room.setExitParameter3(e.d, e.p3);
    room.setExitParameter4(e.d, e.p4);
  }
  return room;
}

// The crossroads: one exit of each kind a test walks.
inline RoomRecord Crossroads() {
  RoomRecord room = MakeRoom(1, kCrossroads, "Crossroads",
                             {{0, kHall, ExitType::kNormal},
                              {1, kHall, ExitType::kSpell, kZapSpell},
                              {2, kHall, ExitType::kToll, 5},
                              {3, kHall, ExitType::kAction, kLeverMessage},
                              {4, 1, ExitType::kMapChange, 2},
                              {5, kHall, ExitType::kHidden, 2, 0, kPassingMessage, kPassageName},
                              {6, kHall, ExitType::kRemoteAction, kBellWords, 0, kBellMessage},
                              {7, kPool, ExitType::kText, kPoolWords, 0, kPassingMessage},
                              {8, kHall, ExitType::kItem, kRustyKey, 0, kPassingMessage},
                              {9, kNowhere, ExitType::kTrap, 3, 9, kPassingMessage}});
  room.setDescription(0, "A dusty crossing of four ways.");
  room.setDescription(1, "|14Signs|07 point every way.");
  room.setDescription(3, "never shown: after an empty line");
  return room;
}

class WalkerWorldTest : public RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    savedSettings_ = CurrentSettings();
    std::vector<std::vector<uint8_t>> messages;
    auto message = [&](uint32_t number, std::vector<std::string> lines) {
      MessageRecord m;
      m.setNumber(number);
      for (size_t i = 0; i < lines.size(); ++i) m.setLine(i, lines[i]);
      messages.push_back(Bytes(m));
    };
    message(kLeverMessage, {"The lever clunks."});
    message(kPassingMessage, {"You squeeze through."});
    message(kPoolWords, {"enter pool", "DIVE"});
    message(kPassageName, {"a crack to the %s"});
    message(kBellWords, {"", "RING BELL"});
    message(kBellMessage, {"The bell tolls."});
    message(kZapMessage, {"%s takes %d damage"});
    MakeFile(kMessageFile, messages);

    ItemRecord key, torch, pebble;
    key.setNumber(kRustyKey);
    key.setName("rusty key");
    key.setItemType(static_cast<uint16_t>(ItemType::kKey));
    torch.setNumber(kTorch);
    torch.setName("bright torch");
    torch.setItemType(static_cast<uint16_t>(ItemType::kLight));
    torch.setAbilityNumbers(0, 54);
    torch.setAbilityValues(0, 100);
    torch.setDescription(0, "A torch of pitch-soaked rags.");
    torch.setDescription(1, "It burns with a steady flame.");
    pebble.setNumber(kPebble);
    pebble.setName("grey pebble");
    // The pebble's first description line fills its 61-byte field, unterminated.
    std::vector<uint8_t> pebbleBytes = Bytes(pebble);
    std::fill_n(pebbleBytes.begin() + 203, 61, uint8_t{'p'});
    MakeFile(kItemFile, {Bytes(key), Bytes(torch), pebbleBytes});

    RaceRecord human, elf;
    human.setNumber(1);
    human.setName("Human");
    human.setBaseStrength(40);
    human.setBaseIntellect(41);
    human.setBaseWillpower(42);
    human.setBaseAgility(43);
    human.setBaseHealth(44);
    human.setBaseCharm(45);
    human.setStartCP(100);
    elf.setNumber(3);
    elf.setName("Elf");
    elf.setBaseStrength(30);
    elf.setStartCP(120);
    MakeFile(kRaceFile, {Bytes(human), Bytes(elf)});

    ClassRecord warrior, mage;
    warrior.setNumber(1);
    warrior.setName("Warrior");
    warrior.setMinHP(3);
    warrior.setHpRange(6);
    mage.setNumber(2);
    mage.setName("Mage");
    mage.setMagicType(1);
    mage.setMagicLevel(2);
    MakeFile(kClassFile, {Bytes(warrior), Bytes(mage)});

    SpellRecord zap;
    zap.setNumber(kZapSpell);
    zap.setName("Zap");
    zap.setCastMessage(kZapMessage);
    zap.setMessageStyle(1);
    zap.setMinValue(8);
    zap.setMaxValue(8);
    MakeFile(kSpellFile, {Bytes(zap)});

    RoomRecord pool = MakeRoom(1, kPool, "Pool", {{0, kCrossroads, ExitType::kHidden}});
    pool.setLight(-151);
    MakeFile(kRoomFile, {Bytes(Crossroads()),
                         Bytes(MakeRoom(1, kHall, "Hall", {{1, kCrossroads, ExitType::kNormal}})),
                         Bytes(pool), Bytes(MakeRoom(2, 1, "Far Shore", {}))});
  }
  void TearDown() override {
    CurrentSettings() = savedSettings_;
    RecordFilesTest::TearDown();
  }

  // A session standing in `room` of map 1 with a made character.
  static WalkerSession SessionIn(const RoomRecord& room) {
    WalkerSession session;
    session.character.firstName = "Ysolde";
    session.character.newCharacter = false;
    session.room = room;
    return session;
  }

 private:
  Settings savedSettings_;
};

// The rows of the screen as it stands, without trailing blanks, up to the
// last row that shows anything.
inline std::vector<std::string> ScreenLines(const HeadlessConsole& hc) {
  std::vector<std::string> lines;
  for (int y = 1; y <= hc.console.ScreenHeight(); ++y) {
    std::string row = hc.Text(1, y, hc.console.ScreenWidth());
    row.erase(row.find_last_not_of(' ') + 1);
    lines.push_back(row);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// Every row shown at any key wait or at the end, in order of first showing.
inline std::vector<std::string> Transcript(const HeadlessConsole& hc) {
  std::vector<std::string> out;
  auto add = [&](const HeadlessDisplay::Snapshot& s) {
    for (int y = 0; y < s.height; ++y) {
      std::string row = s.Row(y);
      row.erase(row.find_last_not_of(' ') + 1);
      if (!row.empty() && std::find(out.begin(), out.end(), row) == out.end()) out.push_back(row);
    }
  };
  for (const auto& s : hc.display.AtKeyWaits()) add(s);
  add(hc.display.Last());
  return out;
}

inline bool Shows(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace torvex::testing
