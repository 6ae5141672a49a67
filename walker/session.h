// The room walker's state for the whole run: the character, what it carries,
// where it stands, the display options and the monsters of the current room.
//
// One WalkerSession lives for the run (CurrentWalkerSession()); walks start
// and end on it, so everything survives from one walk to the next. The
// settings module only stores it: LoadFromSettings() takes the remembered
// values at the start of a walk and StoreToSettings() hands them back when the
// walk ends, before the shell saves the ini file. The program is single
// threaded; nothing here locks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "database/records/records.h"
#include "database/settings.h"

namespace torvex {

// An ability given to the character itself.
struct CharacterAbility {
  uint16_t number = 0;
  int16_t value = 0;
};

struct WalkerCharacter {
  static constexpr int kOwnAbilities = 30;
  static constexpr int kMaxLives = 9;

  std::string firstName;
  std::string lastName;
  std::string gender = "male";  // "male" or "female"
  uint32_t race = 1;
  uint32_t characterClass = 1;
  int32_t level = 1;
  uint64_t experience = 0;
  int32_t lives = kMaxLives;
  int32_t characterPoints = 0;
  int32_t evilPoints = 20;
  int32_t strength = 50;
  int32_t intellect = 50;
  int32_t willpower = 50;
  int32_t agility = 50;
  int32_t health = 50;
  int32_t charm = 50;
  int32_t rolledHitPoints = 0;
  uint8_t hairLength = 0;
  uint8_t hairColour = 0;
  uint8_t eyeColour = 0;
  std::array<CharacterAbility, kOwnAbilities> abilities{};
  // True: the next walk creates a new character first.
  bool newCharacter = true;
};

// The walker's option words. Bits not named here are kept as read.
enum TitleStyle : int32_t { kTitleDetailed = 0, kTitleNormal = 1 };
enum ExitStyle : int32_t { kExitsDetailed = 0, kExitsNormal = 1, kExitsNumber = 2 };
// Bits of WalkerOptions::items.
inline constexpr int32_t kItemsShowAll = 1 << 0;
inline constexpr int32_t kItemsShowNumbers = 1 << 1;
// Bits of WalkerOptions::monsters.
inline constexpr int32_t kMonstersPrefixes = 1 << 0;
inline constexpr int32_t kMonstersShowNumbers = 1 << 1;
inline constexpr int32_t kMonstersActiveOnly = 1 << 2;
// Bits of WalkerOptions::debugging (used by the text-block interpreter).
inline constexpr int32_t kDebugShowErrors = 1 << 0;
inline constexpr int32_t kDebugLineInfo = 1 << 1;
inline constexpr int32_t kDebugStep = 1 << 2;
// Bits of WalkerOptions::mapping.
inline constexpr int32_t kMapFollowMapChanges = 1 << 0;
inline constexpr int32_t kMapFollowHidden = 1 << 1;
inline constexpr int32_t kMapFollowSpell = 1 << 2;
inline constexpr int32_t kMapFollowCast = 1 << 3;
inline constexpr int32_t kMapFollowText = 1 << 4;
inline constexpr int32_t kMapCastExitSpells = 1 << 5;
// Message styles and talk responses.
enum MessageStyle : int32_t { kStyleTechnical = 0, kStyleFantasy = 1 };
enum TalkResponses : int32_t { kResponsesBrief = 0, kResponsesVerbose = 1 };

struct WalkerOptions {
  int32_t title = kTitleNormal;
  int32_t exits = kExitsDetailed;
  int32_t palette = 0;  // 0..3
  bool brief = false;
  int32_t items = kItemsShowAll;
  int32_t monsters = kMonstersPrefixes;
  int32_t debugging = kDebugShowErrors;
  int32_t mapping = 62;
  int32_t style = kStyleTechnical;
  int32_t responses = kResponsesVerbose;
  int32_t channel = 1;

  bool Has(int32_t word, int32_t bit) const { return (word & bit) != 0; }
};

struct WalkerSession {
  WalkerCharacter character;
  WalkerHoldings holdings;
  WalkerOptions options;
  std::string runicCoinName = "runic coins";
  // The room stood in: a full copy, valid once a walk has entered a room.
  RoomRecord room;
  // The monsters generated on entering `room`, in display order.
  std::vector<MonsterRecord> roomMonsters;

  uint32_t map() const { return room.mapNumber(); }
  uint32_t roomNumber() const { return room.roomNumber(); }

  // Takes the remembered character, holdings and options from `settings`. A
  // lit-item index that names no carried item is cleared.
  void LoadFromSettings(const Settings& settings);
  // Writes them back for the shell to save; other settings are left alone.
  void StoreToSettings(Settings& settings) const;
};

// The session of the running program.
WalkerSession& CurrentWalkerSession();

}  // namespace torvex
