// The monster screens cell by cell for a telling record and for bad bytes, and
// the monster browser's own keys and searches over a real monster file.
#include "browsers/monster_browser.h"

#include <gtest/gtest.h>

#include "console/keys.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

class MonsterTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    MakeItems({Item(5, "Club")});
    SpellRecord fire;
    fire.setNumber(9);
    fire.setName("Fireball");
    MakeFile(kSpellFile, {Bytes(fire)});
    MessageRecord hit;
    hit.setNumber(300);
    hit.setLine(0, "The orc clubs you!");
    MakeFile(kMessageFile, {Bytes(hit)});
  }
  static MonsterRecord Monster(uint32_t number, uint32_t greetText = 0) {
    MonsterRecord monster;
    monster.setNumber(number);
    monster.setName("monster " + std::to_string(number));
    monster.setGreetText(greetText);
    return monster;
  }
  void Run() {
    Keys("q");
    RunMonsterBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  void Search(int option, std::string_view answer) {
    Keys("S");
    for (int i = 0; i < option; ++i) Vk(vk::kDown);
    Keys("\r");
    Vk('X', kCtrl);  // the prompt offers the last text typed
    Keys(answer);
    Keys("\r");
  }
};

TEST_F(MonsterTest, TellingMonsterOnBothScreens) {
  MonsterRecord m = Monster(17, 13);
  m.setExp(40);
  m.setExpMultiplier(3);
  m.setArmourClass(12);
  m.setDamageReduction(4);
  m.setMagicResistance(-20);
  m.setGroup(65535);
  m.setGroupIndex(2);
  m.setAllyGroup(65535);
  m.setBackstabDefense(255);
  m.setMovementType(1);
  m.setRegenTime(6);
  m.setWeaponItem(5);
  m.setArmourItem(6);
  m.setGender(1);
  m.setUndead(2);
  m.setDropPercent(0, 25);
  m.setDropUses(0, -1);
  m.setDropItems(1, 5);
  m.setDropPercent(1, 100);
  m.setDropUses(1, 3);
  m.setGold(4294967295u);
  m.setDescription(0, "A big orc.");
  m.setDescription(2, "Line three.");
  m.setAbilityNumbers(0, 200);
  m.setAbilityValues(0, 5);
  m.setLimit(8);
  m.setActive(3);
  m.setCreateSpell(9);
  m.setDeathSpell(77);
  m.setSpells(0, 9);
  m.setSpellPercent(0, 40);
  m.setSpellCastLevel(0, 12);
  const uint8_t types[] = {0, 1, 2, 3, 7};
  for (size_t k = 0; k < 5; ++k) {
    m.setAttackType(k, types[k]);
    m.setAttackAccuracy(k, k == 2 ? 9 : 60 + k);
    m.setAttackMinHit(k, 2);
    m.setAttackMaxHit(k, 8);
    m.setAttackPercent(k, 33);
    m.setAttackEnergy(k, 250);
    m.setAttackHitMessage(k, 300);
    m.setAttackMissMessage(k, 123456);
    m.setAttackHitSpell(k, 9);
  }
  ShowMonsterDetail(hc.console, m.bytes());
  ExpectCells(
      {{18, 2, "17 ", 15},
       {18, 3, "monster 17 "},
       {18, 4, "12/4 "},
       {64, 4, "-20 "},
       {18, 7, "65535 "},
       {32, 7, "2 "},
       {47, 7, "65535BS Defense:"},
       {64, 7, "255 "},
       {64, 9, "leader "},
       {18, 10, "6 hours "},
       {18, 12, "Club                       (5) "},
       {64, 12, "male "},
       {18, 13, "                           (6) "},
       {64, 13, "yes "},
       // An empty drop slot still shows its percent and uses.
       {2, 19, "(B) Items     : 0            (                          ) ( 25%) (    -1 uses)"},
       {63, 19, "5", 15},
       {64, 19, "%", 7},
       {72, 19, "-1", 15},
       {18, 16, "13 "},
       {18, 20, "5            (Club                      ) (100%) (     3 uses)"},
       {18, 21, "0            (                          ) (  0%) (     0 uses)"},
       {69, 29, "4294967295 "},
       {3, 33, "A big orc. "},
       {3, 34, "  "},
       {3, 35, "Line three. "},
       {18, 38, "(00c8:0005) "}});
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdge(49, {8, 14, 18, 31, 37, 48});

  ShowMonsterExtended(hc.console, m.bytes());
  ExpectCells({{18, 2, "17 "},
               {64, 3, "120 "},
               {32, 5, "8 "},
               {47, 5, "3 "},
               {18, 6, "9     (Fireball              ) "},
               {18, 7, "77    (                      ) "},
               // 0: none
               {25, 9, "None   Spell : ---    (---   ", 7},
               {19, 10, "---  ]"},
               {19, 14, "---  ] ( "},
               // 1: an attack, its messages and hit spell named; a miss message wider
               // than its five-digit field is cut.
               {25, 15, "Att    Accu  : 61     (---  ", 12},
               {32, 15, "Accu", 1},
               {40, 15, "61", 15},
               {48, 15, "---", 7},
               {19, 17, "300  ] (The orc clubs you!     "},
               {19, 18, "12345] (   "},
               {7, 16, "Min Hit  : [2    ]  Max Hit :[8    ] Attack % : [33 ]   Energy : [250  ]"},
               {19, 20, "9    ] (Fireball                      ) "},
               // 2: a spell, its cast percent and level in the hit fields
               {25, 21, "Spell  Spell : 9      (Fireball                      ) ", 11},
               {7, 22, "Cast %   : [2    ]  Cast Lvl:[8    ] Attack % : [33 ]", 1},
               {27, 22, "Cast Lvl", 1},
               {19, 23, "---  ] (       ---", 7},
               // 3: a rob shows its accuracy, never a spell; 7 is outside the table: raw numbers
               {25, 27, "Rob    Accu  : 63     (---                           ) ", 14},
               {32, 27, "Accu", 1},
               {19, 29, "300  ] (   "},
               {19, 30, "123456 (   "},
               {25, 33, "7      Value : 64     (---                           ) ", 15},
               {32, 33, "Value", 1},
               {19, 35, "300  ] (   "},
               {18, 40, "9     (Fireball                      )  40 %  Cast Lvl (12 )"},
               {18, 41, "0     (                              )  0  %  Cast Lvl (0  )"}});
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdge(44, {8, 39});
}

TEST_F(MonsterTest, ExperienceAlignmentAndLastKillAtTheirEdges) {
  const struct {
    uint32_t exp, multiplier;
    uint16_t alignment, date, time;
    std::string expText, alignmentText;
    int alignmentFg;
    std::string dateText, timeText;
  } cases[] = {{40, 0, 0, 0, 0, "40 ", "good ", 3, "JAN-01-1980 ", "00:00:00 AM "},
               {40, 3, 4, (44 << 9) | (12 << 5) | 31, 12 << 11, "120 ", "lawful-good ", 7,
                "DEC-31-2024 ", "12:00:00 PM "},
               // Past 32 bits: a 32-bit product would show 410065408.
               {3000000000u, 3, 1, (1 << 9) | (2 << 5) | 9, (13 << 11) | (5 << 5) | 29,
                "9000000000 ", "evil ", 13, "FEB-09-1981 ", "01:05:58 PM "},
               {1, 1, 99, 0, 0, "1 ", "alignmenttype-99 ", 13, "JAN-01-1980 ", "00:00:00 AM "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expText + c.alignmentText + c.timeText);
    MonsterRecord m = Monster(1);
    m.setExp(c.exp);
    m.setExpMultiplier(c.multiplier);
    m.setAlignment(c.alignment);
    m.setLastKilledDate(c.date);
    m.setLastKilledTime(c.time);
    ShowMonsterDetail(hc.console, m.bytes());
    ExpectCells({{64, 3, c.expText}, {18, 11, c.alignmentText, c.alignmentFg}});
    ShowMonsterExtended(hc.console, m.bytes());
    ExpectCells({{64, 3, c.expText}, {64, 6, c.dateText}, {64, 7, c.timeText}});
  }
}

TEST_F(MonsterTest, ShortAndGarbageRecordsStayInsideTheFrame) {
  ShowMonsterDetail(hc.console, std::vector<uint8_t>{});
  ExpectCells({{18, 2, "0 "}, {64, 3, "0 "}, {64, 12, "it "}});
  ShowMonsterExtended(hc.console, std::vector<uint8_t>{});
  ExpectCells({{25, 9, "None"}, {64, 6, "JAN-01-1980"}});
  const std::vector<uint8_t> garbage(MonsterRecord::kDiskLength, 0xFF);
  ShowMonsterDetail(hc.console, garbage);
  ExpectCells({{18, 3, std::string(30, '\xFF')},
               {64, 3, "1844674406511961"},  // 20 digits, cut
               {18, 10, "255 hours "},
               {64, 9, "movementtype--1 "},
               {61, 19, "255%) (    -1 uses)"},
               {3, 33, std::string(71, '\xFF')}});
  ExpectRightEdge(49, {8, 14, 18, 31, 37, 48});
  ShowMonsterExtended(hc.console, garbage);
  ExpectCells({{25, 9, "255    Value : 65535"}, {64, 6, "DEC-31-2107"}, {64, 7, "11:59:59 PM"}});
  ExpectRightEdge(44, {8, 39});
}

TEST_F(MonsterTest, EachSearchFindsTheNextMatchOrSaysWhatWasNotFound) {
  MonsterRecord a = Monster(1), b = Monster(2, 500), c = Monster(3);
  a.setName("Goblin");
  b.setName("Hobgoblin");
  b.setDropItems(9, 77);
  c.setAbilityNumbers(9, 200);
  c.setAbilityValues(9, 3);
  c.setDropItems(0, 77);
  MakeFile(kMonsterFile, {Bytes(a), Bytes(b), Bytes(c)});
  const struct {
    int option;
    const char* answer;
    int times;
    const char* shown;
    const char* notFound;  // a line of the "No Results" window, which wraps between words
  } cases[] = {{0, "GOBLIN", 1, "2", nullptr},
               {1, "77", 1, "2", nullptr},
               {1, "77", 2, "3", nullptr},
               {2, "200/3", 1, "3", nullptr},
               {3, "500", 1, "2", nullptr},
               {1, "0", 1, "1", nullptr},  // 0 asks for nothing
               {0, "dragon", 1, "1", "No records matching your search query, \"dragon\", were"},
               {1, "78", 1, "1", "No records matching your item query, \"78\", were found."},
               {2, "200/9", 1, "1", "No records matching your search query, \"ability: 200 / "},
               {3, "501", 1, "1", "\"501\", were found."}};
  int notFound = 0;
  for (const auto& c : cases) {
    for (int i = 0; i < c.times; ++i) Search(c.option, c.answer);
    if (c.notFound) Keys(" ");  // closes "No Results"
    Run();
    EXPECT_EQ(NumberShown(), c.shown) << c.answer;
    if (c.notFound) {
      EXPECT_TRUE(EverShown(c.notFound)) << c.answer;
      ++notFound;
    }
  }
  EXPECT_EQ(WindowsTitled("No Results"), notFound);
}

TEST_F(MonsterTest, ExtendedViewerSearchesAndHandsBackItsRecordButKeepsNoMainKeys) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeFile(kMonsterFile, {Bytes(Monster(1)), Bytes(Monster(2)), Bytes(Monster(3, 500))});
  Keys("E>");              // the extended viewer, on monster 2
  Vk('E', kCtrl);          // no raw dump there,
  Vk(vk::kF1 + 1, kCtrl);  // nor macros,
  Keys("E");               // nor E,
  Search(3, "500");        // but all four searches
  Keys("?\rQ");
  Vk('E', kCtrl);  // the main viewer has them all, on monster 3
  Vk(vk::kF1 + 2, kCtrl);
  Vk('S', kCtrl);  // the attack simulator, on a monster without attacks,
  Keys(" ");       // waits for a key; then the monster is shown again
  Run();
  EXPECT_TRUE(EverShown("monster 3 has no attacks!"));
  EXPECT_TRUE(EverShown("Attack #5"));
  EXPECT_EQ(WindowsTitled("Monsters Help"), 1);
  EXPECT_TRUE(EverShown("  Q    Exit the extended monster viewer"));
  EXPECT_EQ(NumberShown(), "3");
  EXPECT_EQ(At(2, 9, 12), "(5) Follow %");  // the main screen again
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Monster : monster 3 (3)");
  EXPECT_FALSE(std::filesystem::exists(work.File("rawknmsrnt-2.bin")));
  EXPECT_EQ(std::filesystem::file_size(work.File("rawknmsrnt-3.bin")), MonsterRecord::kDiskLength);
  const auto& macros = CurrentSettings().macros[static_cast<size_t>(MacroKind::kMonster)];
  EXPECT_EQ(macros[1], "");
  EXPECT_EQ(macros[2], "3");
}

}  // namespace
}  // namespace torvex::testing
