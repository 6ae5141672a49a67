#include "walker/session.h"

#include <algorithm>

namespace torvex {

namespace {

uint8_t ListIndex(int32_t value, size_t size) {
  return value >= 0 && static_cast<size_t>(value) < size ? static_cast<uint8_t>(value) : 0;
}

}  // namespace

void WalkerSession::LoadFromSettings(const Settings& settings) {
  const SimulatorSettings& s = settings.simulator;
  options.title = s.roomTitleOptions;
  options.brief = s.brief;
  options.palette = std::clamp(s.palette, 0, 3);
  options.style = s.style;
  options.responses = s.response;
  options.exits = s.roomExitOptions;
  options.items = s.roomItemOptions;
  options.monsters = s.roomMonsterOptions;
  options.debugging = s.roomTextBlockDebuggingOptions;
  options.mapping = s.roomMapOptions;
  runicCoinName = s.roomRunicCoinName;

  WalkerCharacter& c = character;
  c.firstName = s.roomFirstName;
  c.lastName = s.roomLastName;
  c.strength = s.roomStr;
  c.agility = s.roomAgl;
  c.intellect = s.roomInt;
  c.health = s.roomHea;
  c.willpower = s.roomWil;
  c.charm = s.roomCha;
  c.experience = static_cast<uint64_t>(std::max<int64_t>(s.roomExp, 0));
  c.race = static_cast<uint32_t>(s.roomRace);
  c.characterClass = static_cast<uint32_t>(s.roomClass);
  c.level = std::clamp(s.roomLevel, 1, 65535);
  c.rolledHitPoints = s.roomRandomHp;
  c.evilPoints = s.roomEp;
  c.hairColour = ListIndex(s.roomHairColor, 10);
  c.hairLength = ListIndex(s.roomHairLength, 6);
  c.eyeColour = ListIndex(s.roomEyeColor, 17);
  c.gender = !s.roomGender.empty() && (s.roomGender[0] == 'F' || s.roomGender[0] == 'f') ? "female"
                                                                                         : "male";
  c.newCharacter = s.roomRolled;

  holdings = settings.holdings;
  const int32_t torch = holdings.torchItemIndex;
  if (torch < 0 || torch >= WalkerHoldings::kItemSlots || holdings.items[torch] == 0)
    holdings.torchItemIndex = -1;
}

void WalkerSession::StoreToSettings(Settings& settings) const {
  SimulatorSettings& s = settings.simulator;
  s.roomTitleOptions = options.title;
  s.brief = options.brief;
  s.palette = options.palette;
  s.style = options.style;
  s.response = options.responses;
  s.roomExitOptions = options.exits;
  s.roomItemOptions = options.items;
  s.roomMonsterOptions = options.monsters;
  s.roomTextBlockDebuggingOptions = options.debugging;
  s.roomMapOptions = options.mapping;
  s.roomRunicCoinName = runicCoinName;

  const WalkerCharacter& c = character;
  s.roomFirstName = c.firstName;
  s.roomLastName = c.lastName;
  s.roomStr = c.strength;
  s.roomAgl = c.agility;
  s.roomInt = c.intellect;
  s.roomHea = c.health;
  s.roomWil = c.willpower;
  s.roomCha = c.charm;
  s.roomExp = static_cast<int64_t>(std::min<uint64_t>(c.experience, INT64_MAX));
  s.roomRace = static_cast<int32_t>(c.race);
  s.roomClass = static_cast<int32_t>(c.characterClass);
  s.roomLevel = c.level;
  s.roomRandomHp = c.rolledHitPoints;
  s.roomEp = c.evilPoints;
  s.roomHairColor = c.hairColour;
  s.roomHairLength = c.hairLength;
  s.roomEyeColor = c.eyeColour;
  s.roomGender = c.gender == "female" ? "F" : "M";
  s.roomRolled = c.newCharacter;
  settings.holdings = holdings;
}

WalkerSession& CurrentWalkerSession() {
  static WalkerSession session;
  return session;
}

}  // namespace torvex
