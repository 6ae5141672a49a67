// The monster screens cell by cell for a few telling records, and the monster
// browser's own keys and searches over a real monster file.
#include "browsers/monster_browser.h"

#include <gtest/gtest.h>

#include <fstream>

#include "abilitylib/ability_source.h"
#include "console/people_text.h"
#include "database/ability_names.h"
#include "tests/browsers/browser_test_support.h"

namespace torvex::testing {
namespace {

constexpr uint16_t kStrength = 200;

struct CellCase {
  int column, row;
  const char* text;
};

class MonsterScreenTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    const std::vector<AbilityDescription> table = {{kStrength, "Strength", 0x0B, 0}};
    const std::vector<uint8_t> bytes = EncodeAbilityFile(table);
    std::ofstream(abilities_.File("kestrune.dat"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    ASSERT_TRUE(OpenAbilityNames(abilities_.File("kestrune.dat")));
    MakeItems({Item(5, "Club"), Item(6, "Leather Jerkin")});
    SpellRecord fire;
    fire.setNumber(9);
    fire.setName("Fireball");
    MakeFile(kSpellFile, {Bytes(fire)});
    MessageRecord hit;
    hit.setNumber(300);
    hit.setLine(0, "The orc clubs you!");
    MakeFile(kMessageFile, {Bytes(hit)});
  }
  void TearDown() override {
    CloseAbilityNames();
    BrowserTest::TearDown();
  }

  static MonsterRecord Monster(uint32_t number, const std::string& name = "") {
    MonsterRecord monster;
    monster.setNumber(number);
    monster.setName(name.empty() ? "monster " + std::to_string(number) : name);
    return monster;
  }
  void MakeMonsters(const std::vector<MonsterRecord>& monsters) {
    std::vector<std::vector<uint8_t>> records;
    for (const MonsterRecord& m : monsters) records.push_back(Bytes(m));
    MakeFile(kMonsterFile, records);
  }

  std::string At(int column, int row, int length) const { return hc.Text(column, row, length); }
  int Fg(int column, int row) const { return hc.Attr(column, row) & 0x0F; }
  void ExpectCells(std::initializer_list<CellCase> cases) const {
    for (const CellCase& c : cases) {
      EXPECT_EQ(At(c.column, c.row, static_cast<int>(std::string(c.text).size())), c.text)
          << "column " << c.column << " row " << c.row;
    }
  }
  // The frame's right edge on every body row: nothing written ran over it.
  void ExpectRightEdgeIntact(std::initializer_list<int> tees, int lastRow) const {
    for (int row = 2; row <= lastRow; ++row) {
      const bool tee = std::find(tees.begin(), tees.end(), row) != tees.end();
      EXPECT_EQ(hc.console.CellAt(79, row - 1).ch, tee ? 0xB4 : 0xB3) << "row " << row;
    }
  }

  static MonsterRecord Orc() {
    MonsterRecord orc = Monster(17, "Orc Chief");
    orc.setExp(40);
    orc.setExpMultiplier(3);
    orc.setArmourClass(12);
    orc.setDamageReduction(4);
    orc.setMagicResistance(-20);
    orc.setHitPoints(150);
    orc.setCharmLevel(-1);
    orc.setGroup(65535);
    orc.setGroupIndex(2);
    orc.setAllyGroup(65535);
    orc.setBackstabDefense(255);
    orc.setMovementType(1);
    orc.setRegenTime(6);
    orc.setAlignment(1);
    orc.setWeaponItem(5);
    orc.setArmourItem(6);
    orc.setGender(1);
    orc.setUndead(2);
    orc.setMoveMessage(11);
    orc.setGreetText(13);
    orc.setDropPercent(0, 25);
    orc.setDropUses(0, -1);
    orc.setDropItems(1, 5);
    orc.setDropPercent(1, 100);
    orc.setDropUses(1, 3);
    orc.setGold(4294967295u);
    orc.setCopper(55555);
    orc.setDescription(0, "A big orc.");
    orc.setDescription(2, "Shown although line two is empty.");
    orc.setAbilityNumbers(0, kStrength);
    orc.setAbilityValues(0, 5);
    return orc;
  }

  btrieve::testing::TempDir abilities_;
};

TEST_F(MonsterScreenTest, MainScreenFieldsWhereTheyBelong) {
  ShowMonsterDetail(hc.console, Orc().bytes());
  ExpectCells({
      {18, 2, "17 "},
      {18, 3, "Orc Chief "},
      {64, 3, "120 "},
      {18, 4, "12/4 "},
      {64, 4, "-20 "},
      {18, 5, "150 "},
      {18, 6, "-1 "},
      {18, 7, "65535 "},
      {32, 7, "2 "},
      {47, 7, "65535BS Defense:"},
      {64, 7, "255 "},
      {64, 9, "leader "},
      {18, 10, "6 hours "},
      {18, 11, "evil "},
      {18, 12, "Club                       (5) "},
      {64, 12, "male "},
      {18, 13, "Leather Jerkin             (6) "},
      {64, 13, "yes "},
      {18, 15, "11 "},
      {18, 16, "13 "},
      {2, 19, "(B) Items     : 0            (                          ) ( 25%) (    -1 uses)"},
      {18, 20, "5            (Club                      ) (100%) (     3 uses)"},
      {18, 21, "0            (                          ) (  0%) (     0 uses)"},
      {69, 29, "4294967295 "},
      {50, 30, "55555 "},
      {3, 33, "A big orc. "},
      {3, 34, "  "},
      {3, 35, "Shown although line two is empty. "},
      {18, 38, "(00c8:0005) Strength +5 "},
  });
  EXPECT_EQ(Fg(18, 2), 15);
  EXPECT_EQ(Fg(63, 19), 15);  // percent
  EXPECT_EQ(Fg(64, 19), 7);   // its sign
  EXPECT_EQ(Fg(73, 19), 15);  // uses
  EXPECT_EQ(Fg(30, 38), 0x0B);
  EXPECT_EQ(hc.console.WhereX(), 3);
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact({8, 14, 18, 31, 37, 48}, 49);
}

TEST_F(MonsterScreenTest, ExperienceTimesItsMultiplierWithoutWrapping) {
  const struct {
    uint32_t exp, multiplier;
    const char* shown;
  } cases[] = {
      {40, 0, "40 "},
      {40, 3, "120 "},
      {40, 1, "40 "},
      // Past 32 bits: a 32-bit product would show 410065408.
      {3000000000u, 3, "9000000000 "},
  };
  for (const auto& c : cases) {
    MonsterRecord m = Monster(1);
    m.setExp(c.exp);
    m.setExpMultiplier(c.multiplier);
    ShowMonsterDetail(hc.console, m.bytes());
    EXPECT_EQ(At(64, 3, static_cast<int>(std::string(c.shown).size())), c.shown) << c.exp;
  }
}

TEST_F(MonsterScreenTest, AlignmentColouredByItsCode) {
  const struct {
    uint16_t code;
    int fg;
    const char* text;
  } cases[] = {{0, 3, "good "},  {3, 3, "neutral "},      {4, 7, "lawful-good "},
               {1, 13, "evil "}, {6, 13, "lawful-evil "}, {99, 13, "alignmenttype-99 "}};
  for (const auto& c : cases) {
    MonsterRecord m = Monster(1);
    m.setAlignment(c.code);
    ShowMonsterDetail(hc.console, m.bytes());
    EXPECT_EQ(At(18, 11, static_cast<int>(std::string(c.text).size())), c.text);
    EXPECT_EQ(Fg(18, 11), c.fg) << c.code;
  }
}

TEST_F(MonsterScreenTest, LastKillDateAndTime) {
  const std::string january = MonthAbbreviation(1);
  EXPECT_EQ(january, "JAN");  // the tests run in the C locale
  const struct {
    uint16_t date, time;
    std::string dateText, timeText;
  } cases[] = {
      {0, 0, january + "-01-1980", "00:00:00 AM"},
      {static_cast<uint16_t>((44 << 9) | (12 << 5) | 31), 12 << 11, "DEC-31-2024", "12:00:00 PM"},
      {static_cast<uint16_t>((1 << 9) | (2 << 5) | 9), (13 << 11) | (5 << 5) | 29, "FEB-09-1981",
       "01:05:58 PM"},
  };
  for (const auto& c : cases) {
    MonsterRecord m = Monster(1);
    m.setLastKilledDate(c.date);
    m.setLastKilledTime(c.time);
    ShowMonsterExtended(hc.console, m.bytes());
    EXPECT_EQ(At(64, 6, 12), c.dateText + " ");
    EXPECT_EQ(At(64, 7, 12), c.timeText + " ");
  }
}

TEST_F(MonsterScreenTest, ExtendedHeaderSpellsAndAttackBlocks) {
  MonsterRecord m = Orc();
  m.setLimit(8);
  m.setActive(3);
  m.setCreateSpell(9);
  m.setDeathSpell(77);  // no such spell
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
    m.setAttackDodgeMessage(k, 0);
    m.setAttackHitSpell(k, 9);
  }
  ShowMonsterExtended(hc.console, m.bytes());
  ExpectCells({
      {18, 2, "17 "},
      {64, 3, "120 "},
      {18, 5, "150 "},
      {32, 5, "8 "},
      {47, 5, "3 "},
      {18, 6, "9     (Fireball              ) "},
      {18, 7, "77    (                      ) "},
      // 0: none
      {25, 9, "None   Spell : ---    (---   "},
      {19, 10, "---  ]"},
      {37, 10, "---  ]"},
      {56, 10, "---]"},
      {73, 10, "---  ]"},
      {19, 11, "---  ] ( "},
      {19, 14, "---  ] ( "},
      // 1: an attack with its messages and hit spell named
      {25, 15, "Att    Accu  : 61     (---  "},
      {7, 16, "Min Hit  : [2    ]  Max Hit :[8    ] Attack % : [33 ]   Energy : [250  ]"},
      {19, 17, "300  ] (The orc clubs you!     "},
      {19, 18, "12345] (   "},  // the field holds five digits
      {19, 19, "0    ] (   "},
      {19, 20, "9    ] (Fireball                      ) "},
      // 2: a spell, cast percent and level in the hit fields
      {25, 21, "Spell  Spell : 9      (Fireball                      ) "},
      {7, 22, "Cast %   : [2    ]  Cast Lvl:[8    ] Attack % : [33 ]"},
      {19, 23, "---  ] (       ---"},
      {19, 26, "---  ] (---  "},
      // 3: a rob shows its accuracy, not a spell
      {25, 27, "Rob    Accu  : 63     (---                           ) "},
      {19, 28, "2    ]"},
      {19, 29, "300  ] (   "},
      {19, 30, "123456 (   "},
      {19, 32, "9    ] (Fireball "},
      // 7: outside the table, raw numbers
      {25, 33, "7      Value : 64     (---                           ) "},
      {19, 35, "300  ] (   "},
      {19, 36, "123456 (   "},
      {19, 38, "9    ] (Fireball "},
      {18, 40, "9     (Fireball                      )  40 %  Cast Lvl (12 )"},
      {18, 41, "0     (                              )  0  %  Cast Lvl (0  )"},
  });
  const struct {
    int column, row, fg;
  } colours[] = {{25, 9, 7},   {40, 9, 7},   {25, 15, 12}, {32, 15, 1}, {40, 15, 15},
                 {48, 15, 7},  {25, 21, 11}, {7, 22, 1},   {27, 22, 1}, {19, 23, 7},
                 {25, 27, 14}, {32, 27, 1},  {25, 33, 15}, {32, 33, 1}, {40, 33, 15}};
  for (const auto& c : colours) {
    EXPECT_EQ(Fg(c.column, c.row), c.fg) << "column " << c.column << " row " << c.row;
  }
  EXPECT_EQ(hc.console.WhereY(), 49);
  ExpectRightEdgeIntact({8, 39}, 44);
}

TEST_F(MonsterScreenTest, ZeroedAndGarbageRecordsStayInsideTheFrame) {
  ShowMonsterDetail(hc.console, std::vector<uint8_t>{});
  ExpectCells({{18, 2, "0 "}, {64, 3, "0 "}, {18, 11, "good "}, {64, 12, "it "}});
  ShowMonsterExtended(hc.console, std::vector<uint8_t>{});
  ExpectCells({{25, 9, "None"}, {64, 6, "JAN-01-1980"}});

  const std::vector<uint8_t> garbage(MonsterRecord::kDiskLength, 0xFF);
  ShowMonsterDetail(hc.console, garbage);
  ExpectCells({
      {18, 3, std::string(30, '\xFF').c_str()},
      {64, 3, "1844674406511961"},  // 20 digits, cut at the frame
      {18, 10, "255 hours "},
      {64, 9, "movementtype--1 "},
      {61, 19, "255%) (    -1 uses)"},
      {3, 33, std::string(71, '\xFF').c_str()},
  });
  ExpectRightEdgeIntact({8, 14, 18, 31, 37, 48}, 49);
  ShowMonsterExtended(hc.console, garbage);
  ExpectCells({{25, 9, "255    Value : 65535"}, {64, 6, "DEC-31-2107"}, {64, 7, "11:59:59 PM"}});
  ExpectRightEdgeIntact({8, 39}, 44);
}

// The browser itself over a file.
class MonsterBrowserTest : public MonsterScreenTest {
 protected:
  void Run() {
    Keys("q");
    RunMonsterBrowser(hc.console);
    EXPECT_EQ(hc.display.PendingKeys(), 0u);
  }
  std::string NumberShown() const {
    const std::string text = At(18, 2, 10);
    return text.substr(0, text.find(' '));
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

TEST_F(MonsterBrowserTest, ExtendedViewerHandsBackItsRecord) {
  MonsterRecord c = Monster(3);
  c.setGreetText(500);
  MakeMonsters({Monster(1), Monster(2), c});
  Keys("E>");
  Search(3, "500");  // the extended viewer searches too
  Keys("?\rQ");
  Run();
  EXPECT_EQ(NumberShown(), "3");
  EXPECT_EQ(At(2, 9, 12), "(5) Follow %");  // the main screen again
  EXPECT_TRUE(EverShown("Attack #5"));
  EXPECT_EQ(hc.display.Title(), "TORVEXNT - Monster : monster 3 (3)");
  EXPECT_EQ(WindowsTitled("Monsters Help"), 1);
  EXPECT_TRUE(EverShown("Use the following keys to navigate the extended "));
  EXPECT_TRUE(EverShown("  Q    Exit the extended monster viewer"));
}

TEST_F(MonsterBrowserTest, EachSearchFindsTheNextMatch) {
  MonsterRecord a = Monster(1, "Goblin");
  MonsterRecord b = Monster(2, "Hobgoblin");
  b.setDropItems(9, 77);
  b.setGreetText(500);
  MonsterRecord c = Monster(3, "Troll");
  c.setAbilityNumbers(9, kStrength);
  c.setAbilityValues(9, 3);
  c.setDropItems(0, 77);
  MakeMonsters({a, b, c});
  const struct {
    int option;
    const char* answer;
    int times;
    const char* found;
  } cases[] = {{0, "GOBLIN", 1, "2"},
               {1, "77", 1, "2"},
               {1, "77", 2, "3"},
               {2, "200/3", 1, "3"},
               {3, "500", 1, "2"}};
  for (const auto& c : cases) {
    for (int i = 0; i < c.times; ++i) Search(c.option, c.answer);
    Run();
    EXPECT_EQ(NumberShown(), c.found) << c.answer;
  }
  EXPECT_EQ(WindowsTitled("No Results"), 0);
}

TEST_F(MonsterBrowserTest, SearchesNotFound) {
  MakeMonsters({Monster(1), Monster(2)});
  const struct {
    int option;
    const char* answer;
  } searches[] = {{0, "dragon"}, {1, "77"}, {3, "500"}};
  for (const auto& c : searches) {
    Keys(">");
    Search(c.option, c.answer);
    Keys(" ");  // closes "No Results"
  }
  Search(1, "0");  // 0 asks for nothing
  Run();
  EXPECT_EQ(WindowsTitled("No Results"), 3);

  // The window wraps its text between words.
  for (const char* message :
       {"No records matching your search query, \"dragon\", were",
        "No records matching your item query, \"77\", were found.",
        "No records matching your greet text block query,", "\"500\", were found."}) {
    EXPECT_TRUE(EverShown(message)) << message;
  }
  EXPECT_EQ(NumberShown(), "1");
}

TEST_F(MonsterBrowserTest, RawDumpSimulatorAndMacroKeys) {
  btrieve::testing::TempDir work;
  InTempDirectory in(work.path());
  MakeMonsters({Monster(7), Monster(42)});
  Keys("E>");
  Vk('E', kCtrl);          // not in the extended viewer
  Vk(vk::kF1 + 2, kCtrl);  // nor are macros
  Keys("EQ");              // nor E
  Run();
  EXPECT_FALSE(std::filesystem::exists(work.File("rawknmsrnt-42.bin")));
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kMonster)][2], "");

  Keys(">");
  Vk('E', kCtrl);
  Vk('S', kCtrl);  // the attack simulator's place: the monster is shown again
  Vk(vk::kF1 + 2, kCtrl);
  Run();
  EXPECT_EQ(std::filesystem::file_size(work.File("rawknmsrnt-42.bin")), MonsterRecord::kDiskLength);
  EXPECT_EQ(CurrentSettings().macros[static_cast<size_t>(MacroKind::kMonster)][2], "42");
  EXPECT_EQ(NumberShown(), "42");
}

}  // namespace
}  // namespace torvex::testing
