// What the program keeps of a record read from disk, and the few record
// behaviours beyond plain fields.
#include "database/records/records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvex {
namespace {

std::vector<uint8_t> Filled(size_t size, uint8_t byte) {
  return std::vector<uint8_t>(size, byte);
}

TEST(RecordCopyTest, KeptSizesDifferFromDiskWhereTheGameSaysSo) {
  EXPECT_EQ(128u, RaceRecord::kSize);
  EXPECT_EQ(126u, RaceRecord::kDiskLength);
  EXPECT_EQ(250u, MessageRecord::kSize);
  EXPECT_EQ(256u, MessageRecord::kDiskLength);
  EXPECT_EQ(2072u, TextBlockRecord::kSize);
  EXPECT_EQ(368u, ActiveMonsterRecord::kSize);
  EXPECT_EQ(400u, ActiveMonsterRecord::kDiskLength);
  EXPECT_EQ(156u, ClassRecord::kSize);
  EXPECT_EQ(1072u, ItemRecord::kSize);
  EXPECT_EQ(756u, MonsterRecord::kSize);
  EXPECT_EQ(1544u, RoomRecord::kSize);
  EXPECT_EQ(260u, SpellRecord::kSize);
  EXPECT_EQ(504u, ShopRecord::kSize);
  EXPECT_EQ(72u, ItemOwnerRecord::kSize);
  EXPECT_EQ(256u, GangRecord::kSize);
  EXPECT_EQ(1010u, ActionRecord::kSize);
}

TEST(RecordCopyTest, RaceFromDiskEndsInTwoZeroBytes) {
  const RaceRecord race(Filled(RaceRecord::kDiskLength, 0xEE));
  for (size_t i = 0; i < 126; ++i) ASSERT_EQ(0xEE, race.bytes()[i]) << i;
  EXPECT_EQ(0, race.bytes()[126]);
  EXPECT_EQ(0, race.bytes()[127]);
}

TEST(RecordCopyTest, MessageKeepsOnlyTheFirst250Bytes) {
  std::vector<uint8_t> disk = Filled(MessageRecord::kDiskLength, 'm');
  for (size_t i = 250; i < disk.size(); ++i) disk[i] = 'X';
  const MessageRecord message(disk);
  EXPECT_EQ(std::string(82, 'm'), message.line3());
  EXPECT_EQ(std::vector<uint8_t>(disk.begin(), disk.begin() + 250),
            std::vector<uint8_t>(message.bytes().begin(), message.bytes().end()));
}

TEST(RecordCopyTest, ActiveMonsterKeepsTheFirst368Bytes) {
  std::vector<uint8_t> disk = Filled(ActiveMonsterRecord::kDiskLength, 1);
  disk[367] = 0x77;
  disk[368] = 0x99;
  const ActiveMonsterRecord monster(disk);
  EXPECT_EQ(0x77, monster.bytes()[367]);
}

TEST(RecordCopyTest, ShortInputIsZeroFilledAndAssignReplacesEverything) {
  ItemRecord item(Filled(ItemRecord::kSize, 0xAB));
  const std::vector<uint8_t> head = {0x01, 0x02, 0x03, 0x04, 0x05};
  item.Assign(head);
  EXPECT_EQ(0x04030201u, item.number());
  EXPECT_EQ(0x05, item.bytes()[4]);
  for (size_t i = 5; i < ItemRecord::kSize; ++i) ASSERT_EQ(0, item.bytes()[i]) << i;

  const ItemRecord none(std::span<const uint8_t>{});
  EXPECT_TRUE(none == ItemRecord());
}

TEST(RecordCopyTest, BytesOfARecordRebuildAnEqualRecord) {
  RoomRecord room;
  room.setMapNumber(3);
  room.setRoomNumber(2189);
  room.setTitle("A Cold Hall");
  room.setDescription(6, "last line");
  room.setExitRoom(9, 142);
  room.setLight(-200);
  const RoomRecord copy(room.bytes());
  EXPECT_TRUE(copy == room);
  EXPECT_EQ(2189u, copy.roomNumber());
  EXPECT_EQ("last line", copy.description(6));
  EXPECT_EQ(142u, copy.exitRoom(9));
  EXPECT_EQ(-200, copy.light());
}

TEST(TextBlockRecordTest, StoredLengthIsHeadTextAndZero) {
  TextBlockRecord block;
  block.setText("0123456789");
  EXPECT_EQ(35u, block.storedLength());
  block.setText("");
  EXPECT_EQ(25u, block.storedLength());
}

TEST(TextBlockRecordTest, TextIsCutTo2047CharactersAndAnUnterminatedAreaStopsAtItsEnd) {
  TextBlockRecord block;
  block.setText(std::string(5000, 'q'));
  EXPECT_EQ(2047u, block.text().size());
  EXPECT_EQ(0, block.bytes()[2071]);

  // A kept copy whose text area holds no zero at all.
  const TextBlockRecord full(Filled(TextBlockRecord::kSize, 'w'));
  EXPECT_EQ(2048u, full.text().size());
  // Never longer than the copy, so a writer cannot read past it.
  EXPECT_EQ(2072u, full.storedLength());
}

TEST(ShopRecordTest, GangShopAccountNameSharesTheMaximumQuantityBytes) {
  ShopRecord shop;
  shop.setShopType(ShopRecord::kGangShopType);
  EXPECT_TRUE(shop.isGangShop());
  shop.setBankAccountName("AB");
  EXPECT_EQ(0x4241, shop.maxQuantity(0));
  EXPECT_EQ(0, shop.maxQuantity(1));
  shop.setMaxQuantity(19, 0x4443);
  // The name field stops at the first zero, so later quantities do not show.
  EXPECT_EQ("AB", shop.bankAccountName());
  shop.setShopType(1);
  EXPECT_FALSE(shop.isGangShop());
}

TEST(AbilitySlotTest, RecordsAnswerForAllTheirSlotsAndTheLastRepeatWins) {
  ItemRecord item;
  item.setAbilityNumbers(2, 50);
  item.setAbilityValues(2, 5);
  item.setAbilityNumbers(19, 50);
  item.setAbilityValues(19, -7);
  EXPECT_TRUE(item.hasAbility(50));
  EXPECT_EQ(-7, item.abilityValue(50));
  EXPECT_FALSE(item.hasAbility(51));
  EXPECT_EQ(0, item.abilityValue(51));

  // Spells keep their values before their numbers.
  SpellRecord spell;
  spell.setAbilityNumbers(9, 151);
  spell.setAbilityValues(9, 33);
  EXPECT_EQ(33, spell.abilityValue(151));
  EXPECT_EQ(33, spell.abilityValueList()[9]);
  EXPECT_EQ(151, spell.abilityNumberList()[9]);
}

TEST(RoomRecordTest, AttributeBits) {
  RoomRecord room;
  room.setAttributes(0x81);
  EXPECT_TRUE(room.hasAttribute(kRoomNoPVP));
  EXPECT_TRUE(room.hasAttribute(kRoomBit8));
  EXPECT_FALSE(room.hasAttribute(kRoomGangRoom));
  EXPECT_FALSE(room.hasAttribute(8));
  EXPECT_FALSE(room.hasAttribute(-1));
}

}  // namespace
}  // namespace torvex
