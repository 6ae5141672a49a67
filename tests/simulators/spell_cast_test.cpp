#include "simulators/spell_cast.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/database/record_files.h"
#include "tests/simulators/spell_test_records.h"

namespace torvex {
namespace {

using testing::kForewordMessage;
using testing::kHound;
using testing::kHurlsMessage;
using testing::MakeSpell;
using testing::Message;
using testing::SpellShape;

using Lines = std::vector<std::string>;

TEST(ResistanceTest, FormulaAtItsEdges) {
  const struct {
    int64_t damage, mr, left;
  } cases[] = {
      {50, 30, 60},    // m = -20: 50 - trunc(-10) raises the damage
      {100, 75, 75},   // m = 25
      {100, 100, 50},  // m = 50
      {7, 75, 6},      // 7 - trunc(1.75)
      {-7, 75, -6},    // -7 - trunc(-1.75): towards zero
      {14, 30, 16},    // 14 - trunc(-2.8)
      {100, 150, 0},   // m = 100
      {100, 9000, 0},  // m held to 100
      {0, -50, 0},
      // The lowest MR: m = -2147483698, 32767 * m / 100 = -703665983323.66,
      // so 32767 + 703665983323: no overflow in 64 bits.
      {32767, INT32_MIN, 703666016090},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResistedDamage(c.damage, c.mr), c.left) << c.damage << " " << c.mr;
  }
  EXPECT_EQ(EffectiveResistance(200, false), 75);
  EXPECT_EQ(EffectiveResistance(200, true), 100);
  EXPECT_EQ(EffectiveResistance(30, false), 30);
  EXPECT_EQ(EffectiveResistance(-5, true), -5);
}

class SpellCastTest : public testing::RecordFilesTest {
 protected:
  void SetUp() override {
    RecordFilesTest::SetUp();
    std::vector<std::vector<uint8_t>> messages = {
        Bytes(Message(testing::kTakesMessage, "%s takes %d damage")),
        Bytes(Message(kHurlsMessage, "%s hurls at %s for %d")),
        Bytes(Message(kForewordMessage, "%s braces", "%s feels drained")),
        Bytes(Message(testing::kMoveMessage, "%s arrives from %s"))};
    for (uint32_t n = 100; n <= 105; ++n) {
      messages.push_back(Bytes(Message(n, "spell " + std::to_string(n) + " at %s")));
    }
    MakeFile(kMessageFile, messages);
    MakeFile(kMonsterFile, {Bytes(testing::Hound())});
  }
  void TearDown() override {
    SetTextBlockRunner(nullptr);
    RecordFilesTest::TearDown();
  }

  // Spells that other spells follow on to.
  void Spells(std::initializer_list<SpellShape> shapes) {
    std::vector<std::vector<uint8_t>> records;
    for (const SpellShape& s : shapes) records.push_back(Bytes(MakeSpell(s)));
    MakeFile(kSpellFile, records);
  }

  CastEnd Cast(const SpellShape& shape, int32_t mr = 50, bool antiMagic = false,
               CastResult* result = nullptr, StopRequested stop = {}) {
    return CastSpell(MakeSpell(shape), energy, mr, 1, antiMagic, result, random, out, stop);
  }

  int32_t energy = 1000;
  Random random{2024};
  Lines lines;
  RulesOutput out = [this](std::string_view line) { lines.emplace_back(line); };
};

TEST_F(SpellCastTest, ResistanceCapsAndMessageTypes) {
  const struct {
    int32_t mr;
    bool antiMagic;
    int16_t damage;
    uint32_t message;
    bool ignores;  // ability 144
    const char* line;
  } cases[] = {
      {200, false, 100, testing::kTakesMessage, false, "|12practice dummy takes 75 damage"},
      {200, true, 100, testing::kTakesMessage, false, "|12practice dummy takes 50 damage"},
      {30, false, 50, testing::kTakesMessage, false, "|12practice dummy takes 60 damage"},
      {200, true, 100, testing::kTakesMessage, true, "|12practice dummy takes 100 damage"},
      {200, false, 100, kHurlsMessage, false, "|12Zap hurls at practice dummy for 75"},
      {50, false, 9, 999, false, nullptr},  // missing message: nothing written
  };
  for (const auto& c : cases) {
    lines.clear();
    energy = 1000;
    const std::initializer_list<std::pair<uint16_t, int16_t>> none = {}, ignores = {{144, 1}};
    // Energy 0 and no follow-on: one cast, then the pool is emptied.
    EXPECT_EQ(Cast({.minimum = c.damage,
                    .maximum = c.damage,
                    .message = c.message,
                    .abilities = c.ignores ? ignores : none},
                   c.mr, c.antiMagic),
              CastEnd::kFinished);
    EXPECT_EQ(lines, c.line ? Lines{c.line} : Lines{}) << c.mr << " " << c.antiMagic;
    EXPECT_EQ(energy, 0);
  }
}

TEST_F(SpellCastTest, OneCallSpendsThePoolInWholeCasts) {
  // Seed 2024, Random(3) for 10..12:
  //   s1 = 2203305865, 2203305865 * 3 / 2^32 = 1.54 -> 1 -> 11
  //   s2 = 1204652462, * 3 / 2^32 = 0.84 -> 0 -> 10
  //   s3 = 527525991,  * 3 / 2^32 = 0.37 -> 0 -> 10
  // 1000 - 3 * 300 = 100; the fourth cast cannot be paid and draws nothing.
  EXPECT_EQ(Cast({.energy = 300, .minimum = 10, .maximum = 12}), CastEnd::kFinished);
  EXPECT_EQ(lines, (Lines{"|12practice dummy takes 11 damage", "|12practice dummy takes 10 damage",
                          "|12practice dummy takes 10 damage"}));
  EXPECT_EQ(energy, 100);
  EXPECT_EQ(random.Seed(), 527525991u);

  lines.clear();
  energy = 299;
  EXPECT_EQ(Cast({.energy = 300, .minimum = 10, .maximum = 12}), CastEnd::kFinished);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(random.Seed(), 527525991u);
}

TEST_F(SpellCastTest, FollowOnNumberedByTheDamage) {
  Spells({{.number = 100, .message = 100},
          {.number = 101, .message = 101},
          {.number = 102, .message = 102},
          {.number = 103, .message = 103},
          {.number = 104, .message = 104},
          {.number = 105, .message = 105}});
  // Seed 123456789: s1 = 2335298922, * 6 / 2^32 = 3.26 -> D = 100 + 3 = 103;
  // s2 = 1699992339, * 99 / 2^32 = 39.18 -> roll 40; then spell 103's own
  // damage draw (Random(1)). Chance 60 > 40 follows; chance 40 <= 40 does not.
  const struct {
    int16_t chance;
    Lines lines;
    int32_t energy;
  } cases[] = {
      {60, {"|12practice dummy takes 103 damage", "|12spell 103 at practice dummy"}, 0},
      {40, {"|12practice dummy takes 103 damage"}, 990},
  };
  for (const auto& c : cases) {
    random.SetSeed(123456789);
    lines.clear();
    energy = 1000;
    Cast({.number = 31,
          .energy = 10,
          .minimum = 100,
          .maximum = 105,
          .abilities = {{151, 0}, {164, c.chance}}});
    EXPECT_EQ(lines, c.lines) << c.chance;
    // Spell 103 costs nothing and has no follow-on of its own: the pool is
    // emptied.
    EXPECT_EQ(energy, c.energy) << c.chance;
  }
}

TEST_F(SpellCastTest, AutoCombatTargetOutsideTheListCastsNothing) {
  // The draw is made, the foreword written, then nothing: no cost, no result.
  CastResult result{1, 2};
  Cast({.target = 1, .energy = 300, .abilities = {{120, kForewordMessage}, {140, 9}}}, 50, false,
       &result);
  EXPECT_EQ(lines, Lines{"|12practice dummy braces"});
  EXPECT_EQ(energy, 1000);
  EXPECT_EQ(random.Seed(), 2203305865u);
  EXPECT_EQ(result.second, 2);
}

TEST_F(SpellCastTest, FollowOnLoopWithoutCostIsBounded) {
  Spells({{.number = 40, .abilities = {{151, 40}}}});
  EXPECT_EQ(Cast({.number = 40, .abilities = {{151, 40}}}), CastEnd::kBounded);
  // kChainBound casts that spent nothing, then the notice.
  ASSERT_EQ(lines.size(), size_t{kChainBound} + 1);
  EXPECT_EQ(lines[0], "|12practice dummy takes 0 damage");
  EXPECT_EQ(lines.back(), NoticeOfBound("Follow-on casts"));
  EXPECT_EQ(energy, 1000);
}

TEST_F(SpellCastTest, StopIsAskedBeforeEachFollowOn) {
  int asked = 0;
  EXPECT_EQ(Cast({.energy = 300}, 50, false, nullptr, [&] { return ++asked == 2; }),
            CastEnd::kStopped);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(lines.size(), 2u);
  EXPECT_EQ(energy, 400);
}

TEST_F(SpellCastTest, GeneralSpellsByTargetGroup) {
  // D = 40 at MR 75 without AntiMagic: 40 - trunc(40 * 25 / 100) = 30 when
  // resisted. Text blocks with value 0 run as block D.
  const Lines cast = {"|11practice dummy braces", "|11practice dummy takes 40 damage"};
  const std::string drained = "|11<no name> feels drained";
  const std::string hound = "|14bog-hound|02 arrives from nowhere";
  const struct {
    uint16_t target;
    Lines lines;
    std::vector<uint32_t> blocks;
    int32_t energy;
  } cases[] = {
      {1, {cast[0], cast[1], drained, hound}, {40, 7}, 400},
      {6, {cast[0], cast[1], drained, hound}, {40, 7}, 400},
      {4, {cast[0], "|11practice dummy takes 30 damage"}, {40, 7}, 400},
      {12, cast, {}, 400},
      {13, {cast[0], cast[1], drained}, {}, 400},
      {5, {cast[0]}, {}, 0},
      {14, {cast[0]}, {}, 0},
  };
  for (const auto& c : cases) {
    lines.clear();
    energy = 1000;
    std::vector<uint32_t> blocks;
    SetTextBlockRunner([&](uint32_t block, CastResult* result, const RulesOutput&) {
      blocks.push_back(block);
      EXPECT_NE(result, nullptr);
    });
    CastResult result;
    Cast({.type = 3,
          .target = c.target,
          .energy = 600,
          .minimum = 40,
          .maximum = 40,
          .abilities = {{120, kForewordMessage},
                        {148, 0},
                        {115, kForewordMessage},
                        {12, kHound},
                        {12, 77},  // no such monster
                        {148, 7},
                        {140, 0},
                        {141, 3}}},
         75, false, &result);
    EXPECT_EQ(lines, c.lines) << c.target;
    EXPECT_EQ(blocks, c.blocks) << c.target;
    EXPECT_EQ(energy, c.energy) << c.target;
    // The result record is only filled by a cast that went ahead.
    EXPECT_EQ(result.second, c.energy ? 40 : 0) << c.target;
    EXPECT_EQ(result.first, c.energy ? 3 : 0) << c.target;
  }
}

TEST_F(SpellCastTest, OtherSpellTypesEmptyThePool) {
  EXPECT_EQ(Cast({.type = 1, .energy = 5}), CastEnd::kFinished);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(energy, 0);
}

TEST_F(SpellCastTest, EffectOnThePlayer) {
  Spells({{.number = 8,
           .target = 0,
           .minimum = 10,
           .maximum = 20,
           .abilities = {{120, kForewordMessage},
                         {140, 0},
                         {141, 6},
                         {115, kForewordMessage},
                         {12, kHound},
                         {95, 1}}},
          {.number = 9, .target = 2, .minimum = 3, .maximum = 3, .message = kHurlsMessage}});
  // Seed 77: s1 = 1787803010, * 10 / 2^32 = 4.16 -> D = 10 + 4 = 14; MR 30:
  // 14 - trunc(14 * -20 / 100) = 14 + 2 = 16. The foreword is written as it is.
  random.SetSeed(77);
  int32_t first = 0, second = 0;
  SpellEffectOnPlayer(8, 30, 1, first, second, random, out);
  EXPECT_EQ(lines,
            (Lines{"|00|12%s braces", "|12<no name> takes 16 damage",
                   "|00|12<no name> feels drained", "|14bog-hound|02 arrives from nowhere",
                   "|12You have been killed!", "|07But, due to a miracle, you have been saved."}));
  EXPECT_EQ(first, 6);
  EXPECT_EQ(second, 14);

  lines.clear();
  SpellEffectOnPlayer(9, 50, 1, first, second, random, out);  // Random(0): 3 + 0
  EXPECT_EQ(lines, Lines{"|00|11Zap hurls at <no name> for 3"});

  lines.clear();
  const uint32_t seed = random.Seed();
  SpellEffectOnPlayer(4, 50, 1, first, second, random, out);  // missing: no draw
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(random.Seed(), seed);
}

}  // namespace
}  // namespace torvex
