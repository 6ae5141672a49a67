#include "walker/character_training.h"

#include <algorithm>

#include "console/format.h"
#include "database/record_access.h"
#include "database/records/enumerations.h"
#include "database/records/record_rules.h"
#include "walker/character_rules.h"

namespace torvex {

namespace {

constexpr uint16_t kShopRoomType = 1;
constexpr auto kTrainingShopType = static_cast<uint16_t>(ShopType::kTraining);
constexpr int32_t kLivesPerTraining = 5;

}  // namespace

int32_t TrainingPoints(int32_t oldLevel) {
  return (oldLevel / 10) * 5 + 10;
}

uint64_t TrainingCost(uint16_t markupPercent, int32_t newLevel) {
  const int64_t cost = ((int64_t{markupPercent} + 100) * 5 * newLevel) / 100 * 10;
  return cost > 0 ? static_cast<uint64_t>(cost) : 0;
}

std::vector<std::string> TrainLevel(WalkerSession& session) {
  WalkerCharacter& c = session.character;
  ShopRecord shop;
  if (session.room.roomType() != kShopRoomType || GetShop(session.room.shopNumber(), shop) != 0 ||
      shop.shopType() != kTrainingShopType) {
    return {"|07You must be in an appropriate training room to train!"};
  }
  if (shop.trainClass() != 0 && shop.trainClass() != c.characterClass) {
    return {"|07This shop is not suitable for your training."};
  }
  if (c.level >= kMaxExpLevel) {
    return {"|07You have progressed too far to use the training provided here."};
  }
  const int32_t next = c.level + 1;
  if (next < shop.minLevel()) {
    return {"|07You have not progressed far enough to use the training provided here."};
  }
  if (next > shop.maxLevel()) {
    return {"|07You have progressed too far to use the training provided here."};
  }
  const CharacterSheet sheet = LoadCharacterSheet(session);
  if (c.experience < ExperienceForLevel(sheet, next)) {
    return {"|07You do not have the required experience to train yet!"};
  }

  const int32_t points = TrainingPoints(c.level);
  std::vector<std::string> lines{
      Format("|07You hand over %s and you receive training to attain level %d.",
             MoneyText(TrainingCost(shop.markupPercent(), next)).c_str(), next),
      "You receive the following:", Format("%d additional character points", points)};
  c.level = next;
  c.characterPoints =
      static_cast<int32_t>(std::min<int64_t>(int64_t{c.characterPoints} + points, INT32_MAX));
  // Lives set above nine by hand are never taken away here.
  const int32_t lives =
      std::max(c.lives, static_cast<int32_t>(std::min<int64_t>(int64_t{c.lives} + kLivesPerTraining,
                                                               WalkerCharacter::kMaxLives)));
  if (lives != c.lives) lines.push_back(Format("%d additional lives", lives - c.lives));
  c.lives = lives;
  const int32_t roll = RandomRange(0, int32_t{sheet.characterClass.hpRange()} + 1);
  c.rolledHitPoints = static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{c.rolledHitPoints} + roll, INT32_MIN, INT32_MAX));
  return lines;
}

}  // namespace torvex
