#include "tools/world_source.h"

#include <stdlib.h>
#include <toml++/toml.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <type_traits>
#include <utility>

#include "database/records/enumerations.h"
#include "database/records/tables.h"
#include "database/records/text_block_text.h"
#include "exporter/quendex.h"
#include "exporter/update_file.h"
#include "platform/btrieve/btrieve.h"
#include "platform/terminal/cp437.h"

namespace torvex::worldsrc {

namespace {

namespace bt = torvex::btrieve;
using exporter::UpdateFileWriter;

// Thrown inside this file only; the public functions turn it into a SourceError.
struct Fault {
  SourceError error;
};

std::string RefName(Ref kind) {
  switch (kind) {
    case Ref::kRace:
      return "race";
    case Ref::kClass:
      return "class";
    case Ref::kItem:
      return "item";
    case Ref::kSpell:
      return "spell";
    case Ref::kMonster:
      return "monster";
    case Ref::kShop:
      return "shop";
    case Ref::kMessage:
      return "message";
    case Ref::kText:
      return "text block";
    case Ref::kActive:
      return "active monster";
    case Ref::kNone:
      break;
  }
  return "record";
}

// The entry being read: where faults are reported and references collected.
struct Ctx {
  std::string file;
  std::string entry;
  std::vector<Reference>* references = nullptr;
  // Set while reading a slot whose source said `allow_missing = true`: its item
  // may name no record (the browsers show such a slot as an invalid item).
  bool itemMayDangle = false;

  SourceError At(const toml::node& node) const {
    return SourceError{file, static_cast<int>(node.source().begin.line), entry, ""};
  }
  [[noreturn]] void Fail(const toml::node& node, const std::string& message) const {
    SourceError e = At(node);
    e.message = message;
    throw Fault{e};
  }
  void Refer(Ref kind, int64_t number, const toml::node& node) const {
    if (kind == Ref::kNone || number == 0 || references == nullptr) return;
    if (kind == Ref::kItem && itemMayDangle) return;
    references->push_back(Reference{kind, static_cast<uint32_t>(number), At(node)});
  }
};

std::string Quoted(std::string_view key) {
  return "\"" + std::string(key) + "\"";
}

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

int64_t IntegerIn(const toml::node& n, const Ctx& c, std::string_view key, int64_t lo, int64_t hi) {
  int64_t value = 0;
  if (const auto* b = n.as_boolean()) {
    value = b->get() ? 1 : 0;
  } else if (const auto* i = n.as_integer()) {
    value = i->get();
  } else {
    c.Fail(n, Quoted(key) + " must be an integer");
  }
  if (value < lo || value > hi) {
    c.Fail(n, Quoted(key) + " is " + std::to_string(value) + ", outside " + std::to_string(lo) +
                  ".." + std::to_string(hi));
  }
  return value;
}

// A field value: an integer that fits T, or, with a table, one of its words.
template <typename T>
T ValueOf(const toml::node& n, const Ctx& c, std::string_view key,
          const EnumerationTable* table = nullptr) {
  if (table != nullptr && n.is_string()) {
    const std::string word = n.as_string()->get();
    for (size_t code = 0; code < table->words.size(); ++code) {
      if (SameWord(word, table->words[code])) return static_cast<T>(code);
    }
    std::string known;
    for (std::string_view w : table->words) known += (known.empty() ? "" : ", ") + std::string(w);
    c.Fail(n, Quoted(key) + ": unknown word \"" + word + "\" (one of: " + known + ")");
  }
  return static_cast<T>(
      IntegerIn(n, c, key, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// UTF-8 source text as the code-page-437 bytes the game stores, at most
// `maxLength` of them.
std::string TextOf(const toml::node& n, const Ctx& c, std::string_view key, size_t maxLength) {
  const auto* s = n.as_string();
  if (s == nullptr) c.Fail(n, Quoted(key) + " must be a string");
  const std::string& utf8 = s->get();
  const std::string text = Utf8ToCp437(utf8);
  const size_t characters = static_cast<size_t>(std::count_if(
      utf8.begin(), utf8.end(), [](char ch) { return (static_cast<uint8_t>(ch) & 0xC0) != 0x80; }));
  if (text.size() != characters) c.Fail(n, Quoted(key) + " has characters code page 437 lacks");
  if (text.find('\0') != std::string::npos) c.Fail(n, Quoted(key) + " holds a zero byte");
  if (text.size() > maxLength) {
    c.Fail(n, Quoted(key) + " is " + std::to_string(text.size()) + " characters long, at most " +
                  std::to_string(maxLength) + " fit");
  }
  return text;
}

const toml::array& ArrayOf(const toml::node& n, const Ctx& c, std::string_view key,
                           size_t maxCount) {
  const auto* a = n.as_array();
  if (a == nullptr) c.Fail(n, Quoted(key) + " must be an array");
  if (a->size() > maxCount) {
    c.Fail(n, Quoted(key) + " has " + std::to_string(a->size()) + " entries, at most " +
                  std::to_string(maxCount) + " fit");
  }
  return *a;
}

const toml::table& TableOf(const toml::node& n, const Ctx& c, std::string_view what) {
  const auto* t = n.as_table();
  if (t == nullptr) c.Fail(n, std::string(what) + " must be a table");
  return *t;
}

// MS-DOS date word from "YYYY-MM-DD" (or a raw integer).
uint16_t DosDateOf(const toml::node& n, const Ctx& c, std::string_view key) {
  if (!n.is_string()) return ValueOf<uint16_t>(n, c, key);
  int y = 0, m = 0, d = 0;
  char tail = 0;
  const std::string text = n.as_string()->get();
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3 || y < 1980 || y > 2107 ||
      m < 1 || m > 12 || d < 1 || d > 31) {
    c.Fail(n, Quoted(key) + " must be a date YYYY-MM-DD between 1980 and 2107");
  }
  return static_cast<uint16_t>(((y - 1980) << 9) | (m << 5) | d);
}

// MS-DOS time word from "HH:MM:SS" (or a raw integer).
uint16_t DosTimeOf(const toml::node& n, const Ctx& c, std::string_view key) {
  if (!n.is_string()) return ValueOf<uint16_t>(n, c, key);
  int h = 0, m = 0, s = 0;
  char tail = 0;
  const std::string text = n.as_string()->get();
  if (std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &tail) != 3 || h > 23 || m > 59 ||
      s > 59 || h < 0 || m < 0 || s < 0) {
    c.Fail(n, Quoted(key) + " must be a time HH:MM:SS");
  }
  return static_cast<uint16_t>((h << 11) | (m << 5) | (s / 2));
}

// How one key of an entry lands in its record. `index` is the slot when the key
// sits in one element of an array of tables (an attack, a stock slot).
template <typename R>
struct Binding {
  std::string_view key;
  std::function<void(R&, const toml::node&, const Ctx&, size_t)> apply;
};

template <typename R>
using Bindings = std::vector<Binding<R>>;

template <typename R>
void ApplyTable(R& record, const toml::table& table, const Ctx& c, const Bindings<R>& bindings,
                size_t index = 0, const std::set<std::string_view>& handled = {}) {
  for (const auto& [key, node] : table) {
    if (handled.count(key.str())) continue;
    const auto it = std::find_if(bindings.begin(), bindings.end(),
                                 [&](const Binding<R>& b) { return b.key == key.str(); });
    if (it == bindings.end()) c.Fail(node, "unknown key " + Quoted(key.str()));
    it->apply(record, node, c, index);
  }
}

// A scalar field, optionally a reference.
template <typename R, typename T>
Binding<R> F(std::string_view key, void (R::*set)(T), Ref ref = Ref::kNone) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            const T v = ValueOf<T>(n, c, key);
            c.Refer(ref, v, n);
            (r.*set)(v);
          }};
}
// A scalar field that also takes the words of an enumeration.
template <typename R, typename T>
Binding<R> E(std::string_view key, void (R::*set)(T), const EnumerationTable& (*table)()) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            (r.*set)(ValueOf<T>(n, c, key, &table()));
          }};
}
// One element of an array field, at the slot of the enclosing table.
template <typename R, typename T>
Binding<R> S(std::string_view key, void (R::*set)(size_t, T), Ref ref = Ref::kNone,
             const EnumerationTable& (*table)() = nullptr) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t index) {
            const T v = ValueOf<T>(n, c, key, table ? &table() : nullptr);
            c.Refer(ref, v, n);
            (r.*set)(index, v);
          }};
}
// A whole array field from a list of integers.
template <typename R, typename T>
Binding<R> L(std::string_view key, void (R::*set)(size_t, T), size_t count, Ref ref = Ref::kNone) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            const toml::array& a = ArrayOf(n, c, key, count);
            for (size_t i = 0; i < a.size(); ++i) {
              const T v = ValueOf<T>(a[i], c, key);
              c.Refer(ref, v, a[i]);
              (r.*set)(i, v);
            }
          }};
}
// Several scalar fields from one list, in the order given.
template <typename R, typename T, size_t N>
Binding<R> G(std::string_view key, std::array<void (R::*)(T), N> sets) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            const toml::array& a = ArrayOf(n, c, key, N);
            if (a.size() != N)
              c.Fail(n, Quoted(key) + " must have " + std::to_string(N) + " entries");
            for (size_t i = 0; i < N; ++i) (r.*sets[i])(ValueOf<T>(a[i], c, key));
          }};
}
template <typename R>
Binding<R> Txt(std::string_view key, void (R::*set)(std::string_view), size_t length) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            (r.*set)(TextOf(n, c, key, length - 1));
          }};
}
template <typename R>
Binding<R> Lines(std::string_view key, void (R::*set)(size_t, std::string_view), size_t length,
                 size_t lines) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            const toml::array& a = ArrayOf(n, c, key, lines);
            for (size_t i = 0; i < a.size(); ++i) (r.*set)(i, TextOf(a[i], c, key, length - 1));
          }};
}
template <typename R>
Binding<R> Date(std::string_view key, void (R::*set)(uint16_t)) {
  return {key,
          [=](R& r, const toml::node& n, const Ctx& c, size_t) { (r.*set)(DosDateOf(n, c, key)); }};
}
template <typename R>
Binding<R> Time(std::string_view key, void (R::*set)(uint16_t)) {
  return {key,
          [=](R& r, const toml::node& n, const Ctx& c, size_t) { (r.*set)(DosTimeOf(n, c, key)); }};
}
// A bit set from a list of bit names (or a raw integer).
template <typename R>
Binding<R> Bits(std::string_view key, void (R::*set)(uint8_t), std::string_view (*name)(int)) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            if (!n.is_array()) return (r.*set)(ValueOf<uint8_t>(n, c, key));
            uint8_t bits = 0;
            for (const toml::node& e : ArrayOf(n, c, key, 8)) {
              const auto* s = e.as_string();
              int bit = 0;
              while (bit < 8 && !(s && SameWord(s->get(), name(bit)))) ++bit;
              if (bit == 8) c.Fail(e, Quoted(key) + ": unknown bit name");
              bits = static_cast<uint8_t>(bits | (1u << bit));
            }
            (r.*set)(bits);
          }};
}
// `abilities = [[number, value], ...]`; numbers are those of data/abilities.toml.
template <typename R>
Binding<R> Abilities() {
  return {"abilities", [](R& r, const toml::node& n, const Ctx& c, size_t) {
            const toml::array& a = ArrayOf(n, c, "abilities", R::kAbilitySlots);
            for (size_t i = 0; i < a.size(); ++i) {
              const toml::array& pair = ArrayOf(a[i], c, "abilities", 2);
              if (pair.size() != 2) c.Fail(a[i], "an ability is [number, value]");
              r.setAbilityNumbers(i, ValueOf<uint16_t>(pair[0], c, "ability number"));
              r.setAbilityValues(i, ValueOf<int16_t>(pair[1], c, "ability value"));
            }
          }};
}
// Whether an element of slots may name a missing item.
enum class Dangling { kRefused, kOnRequest };

// An array of tables, element i filling slot i of the record's arrays. With
// Dangling::kOnRequest an element may say `allow_missing = true`, and then only
// its own item number is excused from having to exist.
template <typename R>
Binding<R> Slots(std::string_view key, size_t count, Bindings<R> sub,
                 Dangling dangling = Dangling::kRefused) {
  return {key, [=](R& r, const toml::node& n, const Ctx& c, size_t) {
            const toml::array& a = ArrayOf(n, c, key, count);
            for (size_t i = 0; i < a.size(); ++i) {
              const toml::table& t = TableOf(a[i], c, std::string(key) + " entries");
              const toml::node* allow = t.get("allow_missing");
              if (allow == nullptr || dangling == Dangling::kRefused) {
                ApplyTable(r, t, c, sub, i);
                continue;
              }
              if (!allow->is_boolean()) c.Fail(*allow, "\"allow_missing\" must be true or false");
              Ctx slot = c;
              slot.itemMayDangle = allow->as_boolean()->get();
              ApplyTable(r, t, slot, sub, i, {"allow_missing"});
            }
          }};
}

const EnumerationTable& AttackKinds() {
  static constexpr std::array<std::string_view, 4> kWords{"none", "attack", "spell", "rob"};
  static const EnumerationTable table{kWords, "attack-"};
  return table;
}

// ---------------------------------------------------------------- bindings

const Bindings<RaceRecord>& RaceBindings() {
  using R = RaceRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      Txt("name", &R::setName, R::kNameLength),
      G<R, uint16_t, 6>("base", {&R::setBaseIntellect, &R::setBaseWillpower, &R::setBaseStrength,
                                 &R::setBaseHealth, &R::setBaseAgility, &R::setBaseCharm}),
      G<R, uint16_t, 6>("max", {&R::setMaxIntellect, &R::setMaxWillpower, &R::setMaxStrength,
                                &R::setMaxHealth, &R::setMaxAgility, &R::setMaxCharm}),
      F("hp_bonus", &R::setHpBonus),
      F("start_cp", &R::setStartCP),
      F("exp_percent", &R::setExpPercent),
      Abilities<R>(),
  };
  return b;
}

const Bindings<ClassRecord>& ClassBindings() {
  using R = ClassRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      Txt("name", &R::setName, R::kNameLength),
      F("min_hp", &R::setMinHP),
      F("hp_range", &R::setHpRange),
      F("exp_percent", &R::setExpPercent),
      E("magic_type", &R::setMagicType, MagicTypes),
      F("magic_level", &R::setMagicLevel),
      E("weapon_type", &R::setWeaponType, WeaponTypes),
      E("armour_type", &R::setArmourType, ArmourTypes),
      F("combat", &R::setCombat),
      F("titles", &R::setTitles),
      Abilities<R>(),
  };
  return b;
}

const Bindings<ItemRecord>& ItemBindings() {
  using R = ItemRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      F("lore_difficulty", &R::setLoreDifficulty),
      F("limit", &R::setLimit),
      Txt("name", &R::setName, R::kNameLength),
      Lines("description", &R::setDescription, R::kDescriptionLength, R::kDescriptionLines),
      Lines("lore", &R::setLoreDescription, R::kLoreDescriptionLength, R::kLoreDescriptionLines),
      F("weight", &R::setWeight),
      E("type", &R::setItemType, ItemTypes),
      F("uses", &R::setUses),
      F("energy_mod", &R::setEnergyMod),
      F("cost", &R::setCost),
      E("currency", &R::setCostCurrency, CurrencyTypes),
      L("classes", &R::setClasses, R::kClassesCount, Ref::kClass),
      L("races", &R::setRaces, R::kRacesCount, Ref::kRace),
      E("material", &R::setMaterial, MaterialTypes),
      F("min_hit", &R::setMinHit),
      F("max_hit", &R::setMaxHit),
      F("armour_class", &R::setArmourClass),
      L("negate_spells", &R::setNegateSpells, R::kNegateSpellsCount, Ref::kSpell),
      E("weapon_type", &R::setWeaponType, WeaponTypes),
      E("armour_type", &R::setArmourType, ArmourTypes),
      E("worn_on", &R::setWornOn, WornOnPlaces),
      F("accuracy", &R::setAccuracy),
      F("damage_reduction", &R::setDamageReduction),
      F("gettable", &R::setGettable),
      F("required_strength", &R::setRequiredStrength),
      F("runic", &R::setRunic),
      F("platinum", &R::setPlatinum),
      F("gold", &R::setGold),
      F("silver", &R::setSilver),
      F("copper", &R::setCopper),
      F("speed", &R::setSpeed),
      F("hit_message", &R::setHitMessage, Ref::kMessage),
      F("miss_message", &R::setMissMessage, Ref::kMessage),
      F("read_message", &R::setReadMessage, Ref::kMessage),
      F("destruct_message", &R::setDestructMessage, Ref::kMessage),
      F("not_droppable", &R::setNotDroppable),
      F("keep_on_last_use", &R::setKeepOnLastUse),
      F("robbable", &R::setRobbable),
      F("poof_on_death", &R::setPoofOnDeath),
      Abilities<R>(),
  };
  return b;
}

const Bindings<SpellRecord>& SpellBindings() {
  using R = SpellRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      Txt("name", &R::setName, R::kNameLength),
      Lines("description", &R::setDescription, R::kDescriptionLength, R::kDescriptionLines),
      F("max_level", &R::setMaxLevel),
      F("message_style", &R::setMessageStyle),
      F("energy", &R::setEnergy),
      F("level", &R::setLevel),
      F("min_value", &R::setMinValue),
      F("max_value", &R::setMaxValue),
      E("style", &R::setCastStyle, CastStyles),
      E("resistable", &R::setResistable, Resistables),
      F("difficulty", &R::setDifficulty),
      F("duration_per_level", &R::setDurationPerLevel),
      E("target", &R::setTarget, CastTargets),
      F("min_duration", &R::setMinDuration),
      E("element", &R::setElement, ElementTypes),
      E("resisted_by", &R::setResistedBy, ResistTypes),
      E("magic_type", &R::setMagicType, MagicTypes),
      F("cast_message", &R::setCastMessage, Ref::kMessage),
      F("mana", &R::setMana),
      F("max_increment", &R::setMaxIncrement),
      F("max_level_step", &R::setMaxLevelStep),
      F("magic_level", &R::setMagicLevel),
      F("min_increment", &R::setMinIncrement),
      F("min_level_step", &R::setMinLevelStep),
      F("duration_increment", &R::setDurationIncrement),
      F("duration_level_step", &R::setDurationLevelStep),
      Txt("short_name", &R::setShortName, R::kShortNameLength),
      Abilities<R>(),
  };
  return b;
}

const Bindings<MonsterRecord>& MonsterBindings() {
  using R = MonsterRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      Txt("name", &R::setName, R::kNameLength),
      F("group", &R::setGroup),
      F("exp_multiplier", &R::setExpMultiplier),
      F("group_index", &R::setGroupIndex),
      F("armour_item", &R::setArmourItem, Ref::kItem),
      F("weapon_item", &R::setWeaponItem, Ref::kItem),
      F("damage_reduction", &R::setDamageReduction),
      F("armour_class", &R::setArmourClass),
      F("ally_group", &R::setAllyGroup),
      F("follow_percent", &R::setFollowPercent),
      F("magic_resistance", &R::setMagicResistance),
      F("backstab_defense", &R::setBackstabDefense),
      F("exp", &R::setExp),
      F("hit_points", &R::setHitPoints),
      F("energy", &R::setEnergy),
      F("hp_regen", &R::setHpRegen),
      F("limit", &R::setLimit),
      F("active", &R::setActive),
      E("movement", &R::setMovementType, MovementTypes),
      F("max_follow", &R::setMaxFollow),
      F("undead", &R::setUndead),
      E("alignment", &R::setAlignment, AlignmentTypes),
      F("regen_time", &R::setRegenTime),
      Date("last_killed_date", &R::setLastKilledDate),
      Time("last_killed_time", &R::setLastKilledTime),
      F("move_message", &R::setMoveMessage, Ref::kMessage),
      F("death_message", &R::setDeathMessage, Ref::kMessage),
      Slots<R>("drops", R::kDropItemsCount,
               {S("item", &R::setDropItems, Ref::kItem), S("uses", &R::setDropUses),
                S("percent", &R::setDropPercent)},
               Dangling::kOnRequest),
      F("runic", &R::setRunic),
      F("platinum", &R::setPlatinum),
      F("gold", &R::setGold),
      F("silver", &R::setSilver),
      F("copper", &R::setCopper),
      F("greet_text", &R::setGreetText, Ref::kText),
      F("charm_level", &R::setCharmLevel),
      F("desc_text", &R::setDescText, Ref::kText),
      Slots<R>("attacks", R::kAttacks,
               {
                   S("type", &R::setAttackType, Ref::kNone, AttackKinds),
                   S("accuracy", &R::setAttackAccuracy),
                   S("spell", &R::setAttackAccuracy, Ref::kSpell),
                   S("percent", &R::setAttackPercent),
                   S("min_hit", &R::setAttackMinHit),
                   S("max_hit", &R::setAttackMaxHit),
                   S("cast_percent", &R::setAttackMinHit),
                   S("cast_level", &R::setAttackMaxHit),
                   S("hit_message", &R::setAttackHitMessage, Ref::kMessage),
                   S("dodge_message", &R::setAttackDodgeMessage, Ref::kMessage),
                   S("miss_message", &R::setAttackMissMessage, Ref::kMessage),
                   S("energy", &R::setAttackEnergy),
                   S("hit_spell", &R::setAttackHitSpell, Ref::kSpell),
               }),
      F("talk_text", &R::setTalkText, Ref::kText),
      F("charm_resistance", &R::setCharmResistance),
      F("death_spell", &R::setDeathSpell, Ref::kSpell),
      F("create_spell", &R::setCreateSpell, Ref::kSpell),
      Slots<R>("spells", R::kSpellsCount,
               {S("spell", &R::setSpells, Ref::kSpell), S("percent", &R::setSpellPercent),
                S("level", &R::setSpellCastLevel)}),
      Lines("description", &R::setDescription, R::kDescriptionLength, R::kDescriptionLines),
      E("gender", &R::setGender, MonsterGenders),
      Abilities<R>(),
  };
  return b;
}

// Room keys other than the key itself and the exits, which need the map.
const Bindings<RoomRecord>& RoomBindings() {
  using R = RoomRecord;
  static const Bindings<R> b{
      Txt("title", &R::setTitle, R::kTitleLength),
      Lines("description", &R::setDescription, R::kDescriptionLength, R::kDescriptionLines),
      Txt("ansi_map", &R::setAnsiMap, R::kAnsiMapLength),
      L("active_monsters", &R::setActiveMonsters, R::kActiveMonstersCount, Ref::kActive),
      E("type", &R::setRoomType, RoomTypes),
      F("shop", &R::setShopNumber, Ref::kShop),
      F("min_index", &R::setMinIndex),
      F("max_index", &R::setMaxIndex),
      F("perm_npc_by_number", &R::setPermNPCByNumber),
      F("light", &R::setLight),
      Slots<R>("items", R::kItemsCount,
               {S("item", &R::setItems, Ref::kItem), S("uses", &R::setItemUses),
                S("quantity", &R::setItemQuantity)},
               Dangling::kOnRequest),
      Slots<R>("hidden_items", R::kHiddenItemsCount,
               {S("item", &R::setHiddenItems, Ref::kItem), S("uses", &R::setHiddenItemUses),
                S("quantity", &R::setHiddenItemQuantity)},
               Dangling::kOnRequest),
      F("max_regen", &R::setMaxRegen),
      F("monster_group", &R::setMonsterGroup),
      Time("last_kill", &R::setLastKill),
      Bits("attributes", &R::setAttributes, RoomAttributeName),
      F("death_room", &R::setDeathRoom),
      F("exit_room", &R::setExitRoomNumber),
      F("command_text", &R::setCommandText, Ref::kText),
      F("regen_delay", &R::setRegenDelay),
      F("max_area", &R::setMaxArea),
      F("control_room", &R::setControlRoom),
      F("perm_npc", &R::setPermNPC, Ref::kMonster),
      L("placed_items", &R::setPlacedItems, R::kPlacedItemsCount, Ref::kItem),
      F("no_pvp_text", &R::setNoPVPText, Ref::kMessage),
      F("fail_pick_spell", &R::setFailPickSpell, Ref::kSpell),
      F("room_spell", &R::setRoomSpell, Ref::kSpell),
  };
  return b;
}

const Bindings<ShopRecord>& ShopBindings() {
  using R = ShopRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      Txt("name", &R::setName, R::kNameLength),
      Lines("description", &R::setDescription, R::kDescriptionLength, R::kDescriptionLines),
      E("type", &R::setShopType, ShopTypes),
      F("min_level", &R::setMinLevel),
      F("max_level", &R::setMaxLevel),
      F("markup", &R::setMarkupPercent),
      F("train_class", &R::setTrainClass, Ref::kClass),
      Txt("bank_account", &R::setBankAccountName, R::kBankAccountNameLength),
      Slots<R>("stock", R::kItemsCount,
               {
                   S("item", &R::setItems, Ref::kItem),
                   S("normal", &R::setNormalQuantity),
                   S("max", &R::setMaxQuantity),
                   S("regen_time", &R::setRegenTime),
                   S("regen_number", &R::setRegenNumber),
                   S("regen_percent", &R::setRegenPercent),
                   // A gang shop keeps a price and its coin in the restocking slots.
                   S("price", &R::setRegenTime),
                   S("currency", &R::setRegenNumber, Ref::kNone, CurrencyTypes),
               },
               Dangling::kOnRequest),
  };
  return b;
}

const Bindings<MessageRecord>& MessageBindings() {
  using R = MessageRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      Lines("lines", &R::setLine, R::kLine1Length, R::kLines),
  };
  return b;
}

const Bindings<TextBlockRecord>& TextBindings() {
  using R = TextBlockRecord;
  static const Bindings<R> b{
      F("number", &R::setBlockNumber),
      F("part", &R::setPart),
      F("link", &R::setLinkTo, Ref::kText),
      {"text",
       [](R& r, const toml::node& n, const Ctx& c, size_t) {
         const std::string text = TextOf(n, c, "text", exporter::kMaxCarriedText);
         if (!IsStorableText(text)) {
           c.Fail(n, "\"text\" holds byte 224, which the stored form cannot carry");
         }
         r.setText(EncodeStoredText(text));
       }},
  };
  return b;
}

const Bindings<ActiveMonsterRecord>& ActiveBindings() {
  using R = ActiveMonsterRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      F("known", &R::setKnownNumber, Ref::kMonster),
      F("exp_multiplier", &R::setExpMultiplier),
      F("map", &R::setMapNumber),
      F("room", &R::setCurrentRoom),
      F("spawn_room", &R::setSpawnRoom),
      F("energy", &R::setEnergy),
      F("hit_points", &R::setHitPoints),
      Txt("following", &R::setFollowing, R::kFollowingLength),
      L("tracks", &R::setTracks, R::kTracksCount),
      F("monster", &R::setMonsterNumber, Ref::kMonster),
      Txt("name", &R::setName, R::kNameLength),
      F("armour_item", &R::setArmourItem, Ref::kItem),
      F("weapon_item", &R::setWeaponItem, Ref::kItem),
      Slots<R>("drops", R::kDropItemsCount,
               {S("item", &R::setDropItems, Ref::kItem), S("uses", &R::setDropUses)},
               Dangling::kOnRequest),
      F("runic", &R::setRunic),
      F("platinum", &R::setPlatinum),
      F("gold", &R::setGold),
      F("silver", &R::setSilver),
      F("copper", &R::setCopper),
      F("max_hit_points", &R::setMaxHitPoints),
      E("alignment", &R::setAlignment, AlignmentTypes),
      F("follow_percent", &R::setFollowPercent),
      F("damage_reduction", &R::setDamageReduction),
      F("armour_class", &R::setArmourClass),
      F("exp", &R::setExp),
      F("max_energy", &R::setMaxEnergy),
      F("friend", &R::setFriend),
      F("hp_regen", &R::setHpRegen),
      E("movement", &R::setMovementType, MovementTypes),
      Slots<R>("active_spells", R::kActiveSpellsCount,
               {S("spell", &R::setActiveSpells, Ref::kSpell), S("value", &R::setActiveSpellValues),
                S("rounds", &R::setActiveSpellRounds)}),
      Time("created", &R::setCreated),
  };
  return b;
}

const Bindings<ItemOwnerRecord>& OwnerBindings() {
  using R = ItemOwnerRecord;
  static const Bindings<R> b{
      F("number", &R::setNumber),
      F("item", &R::setItemNumber, Ref::kItem),
      E("owner_type", &R::setOwnerType, OwnerTypes),
      F("map", &R::setMapNumber),
      F("room", &R::setRoomNumber),
      Txt("owner_name", &R::setOwnerName, R::kOwnerNameLength),
      F("active_monster", &R::setActiveMonster, Ref::kActive),
  };
  return b;
}

const Bindings<GangRecord>& GangBindings() {
  using R = GangRecord;
  static const Bindings<R> b{
      Txt("id", &R::setGangID, R::kGangIDLength),
      Txt("name", &R::setName, R::kNameLength),
      F("exp", &R::setExp),
      Txt("leader", &R::setLeader, R::kLeaderLength),
      Date("created", &R::setCreated),
      F("members", &R::setMembers),
      Bits("flags", &R::setFlags, GangFlagName),
      F("extra_exp", &R::setExtraExp),
      F("roll_count", &R::setRollCount),
  };
  return b;
}

// ---------------------------------------------------------------- rooms

constexpr std::array<std::string_view, kDirectionCount> kDirectionKeys{
    "north",     "south",     "east",      "west", "northeast",
    "northwest", "southeast", "southwest", "up",   "down"};

void ClearExit(RoomRecord& r, size_t d) {
  r.setExitRoom(d, 0);
  r.setExitType(d, 0);
  r.setExitParameter1(d, 0);
  r.setExitParameter2(d, 0);
  r.setExitParameter3(d, 0);
  r.setExitParameter4(d, 0);
}

// `exits = { north = 12, east = { to = 7, type = "door", p1 = 40 }, west = 0 }`.
// An exit named replaces what the direction held; 0 removes it. An exit table
// may say `allow_missing = true` to lead nowhere on purpose.
void ApplyExits(World& w, RoomRecord& r, const toml::node& n, const Ctx& c) {
  using R = RoomRecord;
  static const Bindings<R> exitBindings{
      S("to", &R::setExitRoom),
      S("type", &R::setExitType, Ref::kNone, ExitTypes),
      S("p1", &R::setExitParameter1),
      S("p2", &R::setExitParameter2),
      S("p3", &R::setExitParameter3, Ref::kMessage),
      S("p4", &R::setExitParameter4, Ref::kMessage),
  };
  for (const auto& [key, value] : TableOf(n, c, "\"exits\"")) {
    const auto it = std::find(kDirectionKeys.begin(), kDirectionKeys.end(), key.str());
    if (it == kDirectionKeys.end()) c.Fail(value, "unknown direction " + Quoted(key.str()));
    const size_t d = static_cast<size_t>(it - kDirectionKeys.begin());
    ClearExit(r, d);
    const World::ExitPlace place{r.mapNumber(), r.roomNumber(), d};
    w.danglingExits.erase(place);
    if (value.is_table()) {
      const toml::table& t = *value.as_table();
      if (!t.contains("to")) c.Fail(value, "an exit needs \"to\"");
      const toml::node* allow = t.get("allow_missing");
      if (allow != nullptr && !allow->is_boolean()) {
        c.Fail(*allow, "\"allow_missing\" must be true or false");
      }
      if (allow != nullptr && allow->as_boolean()->get()) w.danglingExits.insert(place);
      ApplyTable(r, t, c, exitBindings, d, {"allow_missing"});
    } else {
      r.setExitRoom(d, ValueOf<uint32_t>(value, c, key.str()));
    }
  }
}

RoomRecord* FindRoom(World& w, uint32_t map, uint32_t room) {
  for (RoomRecord& r : w.rooms) {
    if (r.mapNumber() == map && r.roomNumber() == room) return &r;
  }
  return nullptr;
}

const toml::node& Required(const toml::table& t, std::string_view key, const Ctx& c) {
  const toml::node* n = t.get(key);
  if (n == nullptr) c.Fail(t, "missing " + Quoted(key));
  return *n;
}

template <typename T>
T RequiredValue(const toml::table& t, std::string_view key, const Ctx& c, T lo = 1) {
  const toml::node& n = Required(t, key, c);
  return static_cast<T>(IntegerIn(n, c, key, lo, std::numeric_limits<T>::max()));
}

// A grid of rooms numbered row by row from `first`, with north/south/east/west
// exits between neighbours (and diagonals when asked), titles and descriptions
// taken in turn from the lists given, and every other room key applied to all.
void AddArea(World& w, const toml::table& t, const Ctx& c) {
  const uint32_t map = RequiredValue<uint32_t>(t, "map", c);
  const uint32_t first = RequiredValue<uint32_t>(t, "first", c);
  const uint32_t width = RequiredValue<uint32_t>(t, "width", c);
  const uint32_t height = RequiredValue<uint32_t>(t, "height", c);
  if (width > 100 || height > 100) c.Fail(t, "an area is at most 100 rooms wide and high");
  const auto* titles = Required(t, "titles", c).as_array();
  if (titles == nullptr || titles->empty()) c.Fail(t, "\"titles\" must be a non-empty array");
  const toml::array* descriptions = nullptr;
  if (const toml::node* d = t.get("descriptions")) {
    descriptions = d->as_array();
    if (descriptions == nullptr || descriptions->empty()) {
      c.Fail(*d, "\"descriptions\" must be a non-empty array of line arrays");
    }
  }
  bool diagonals = false;
  if (const toml::node* d = t.get("diagonals")) diagonals = IntegerIn(*d, c, "diagonals", 0, 1);
  std::set<uint32_t> holes;
  if (const toml::node* s = t.get("skip")) {
    for (const toml::node& e : ArrayOf(*s, c, "skip", width * height)) {
      holes.insert(ValueOf<uint32_t>(e, c, "skip"));
    }
  }
  const std::set<std::string_view> handled{"map",    "first",        "width",     "height",
                                           "titles", "descriptions", "diagonals", "skip"};
  const auto number = [&](int64_t x, int64_t y) -> uint32_t {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const uint32_t n = first + static_cast<uint32_t>(y) * width + static_cast<uint32_t>(x);
    return holes.count(n) ? 0 : n;
  };
  static constexpr int kDx[8] = {0, 0, 1, -1, 1, -1, 1, -1};
  static constexpr int kDy[8] = {-1, 1, 0, 0, -1, -1, 1, 1};
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t n = number(x, y);
      if (n == 0) continue;
      if (FindRoom(w, map, n))
        c.Fail(t,
               "room " + std::to_string(n) + " of map " + std::to_string(map) + " already exists");
      RoomRecord r;
      r.setMapNumber(map);
      r.setRoomNumber(n);
      const size_t i = y * width + x;
      r.setTitle(TextOf((*titles)[i % titles->size()], c, "titles", RoomRecord::kTitleLength - 1));
      if (descriptions) {
        // A stride co-prime with most list lengths keeps neighbours from matching.
        const toml::node& lines = (*descriptions)[(i * 7 + y) % descriptions->size()];
        const toml::array& a = ArrayOf(lines, c, "descriptions", RoomRecord::kDescriptionLines);
        for (size_t l = 0; l < a.size(); ++l) {
          r.setDescription(l, TextOf(a[l], c, "descriptions", RoomRecord::kDescriptionLength - 1));
        }
      }
      for (size_t d = 0; d < (diagonals ? 8u : 4u); ++d) {
        r.setExitRoom(d, number(int64_t{x} + kDx[d], int64_t{y} + kDy[d]));
      }
      ApplyTable(r, t, c, RoomBindings(), 0, handled);
      w.rooms.push_back(r);
    }
  }
}

// A hand-written room, or changes to one an area made.
void AddRoom(World& w, const toml::table& t, const Ctx& c) {
  const uint32_t map = RequiredValue<uint32_t>(t, "map", c);
  const uint32_t room = RequiredValue<uint32_t>(t, "room", c);
  RoomRecord* r = FindRoom(w, map, room);
  if (r == nullptr) {
    w.rooms.emplace_back();
    r = &w.rooms.back();
    r->setMapNumber(map);
    r->setRoomNumber(room);
  }
  ApplyTable(*r, t, c, RoomBindings(), 0, {"map", "room", "exits"});
  if (const toml::node* e = t.get("exits")) ApplyExits(w, *r, *e, c);
}

// ---------------------------------------------------------------- world

std::string EntryName(std::string_view list, size_t index, const toml::table& t) {
  std::string s = std::string(list) + "[" + std::to_string(index) + "]";
  for (const char* key : {"number", "room", "id"}) {
    if (const toml::node* n = t.get(key)) {
      std::ostringstream v;
      if (n->is_integer()) v << n->as_integer()->get();
      if (n->is_string()) v << '"' << n->as_string()->get() << '"';
      if (!v.str().empty()) return s + " (" + key + " " + v.str() + ")";
    }
  }
  return s;
}

template <typename R>
void AddRecords(std::vector<R>& out, const toml::node& list, std::string_view name, Ctx& c,
                const Bindings<R>& bindings, std::string_view key, R prototype = R()) {
  const auto* a = list.as_array();
  if (a == nullptr) c.Fail(list, Quoted(name) + " must be an array of tables");
  for (size_t i = 0; i < a->size(); ++i) {
    const toml::table& t = TableOf((*a)[i], c, Quoted(name) + " entries");
    c.entry = EntryName(name, i, t);
    Required(t, key, c);
    R record = prototype;
    ApplyTable(record, t, c, bindings);
    out.push_back(record);
  }
  c.entry.clear();
}

// Orders `list` by `key` and fails on the first duplicate, which `name` describes.
template <typename R, typename Key, typename Name>
void SortUnique(std::vector<R>& list, Key key, Name name) {
  std::stable_sort(list.begin(), list.end(),
                   [&](const R& a, const R& b) { return key(a) < key(b); });
  for (size_t i = 1; i < list.size(); ++i) {
    if (key(list[i]) == key(list[i - 1])) {
      throw Fault{SourceError{"", 0, "", name(list[i]) + " is defined twice"}};
    }
  }
}

template <typename R>
void SortByNumber(std::vector<R>& list, const char* kind) {
  SortUnique(
      list, [](const R& r) { return r.number(); },
      [kind](const R& r) { return std::string(kind) + " " + std::to_string(r.number()); });
}

template <typename R>
bool HasNumber(const std::vector<R>& list, uint32_t number) {
  return std::any_of(list.begin(), list.end(), [&](const R& r) { return r.number() == number; });
}

bool RoomExists(const World& w, uint32_t map, uint32_t room) {
  return std::any_of(w.rooms.begin(), w.rooms.end(), [&](const RoomRecord& r) {
    return r.mapNumber() == map && r.roomNumber() == room;
  });
}

bool Exists(const World& w, Ref kind, uint32_t n) {
  switch (kind) {
    case Ref::kRace:
      return HasNumber(w.races, n);
    case Ref::kClass:
      return HasNumber(w.classes, n);
    case Ref::kItem:
      return HasNumber(w.items, n);
    case Ref::kSpell:
      return HasNumber(w.spells, n);
    case Ref::kMonster:
      return HasNumber(w.monsters, n);
    case Ref::kShop:
      return HasNumber(w.shops, n);
    case Ref::kMessage:
      return HasNumber(w.messages, n);
    case Ref::kActive:
      return HasNumber(w.activeMonsters, n);
    case Ref::kText:
      return std::any_of(w.texts.begin(), w.texts.end(),
                         [&](const TextBlockRecord& t) { return t.blockNumber() == n; });
    case Ref::kNone:
      break;
  }
  return true;
}

std::string RoomText(uint32_t map, uint32_t room) {
  return "room " + std::to_string(room) + " of map " + std::to_string(map);
}

void CheckRooms(World& w) {
  for (const RoomRecord& r : w.rooms) {
    const uint32_t map = r.mapNumber();
    const auto fail = [&](const std::string& what) {
      throw Fault{SourceError{"", 0, RoomText(map, r.roomNumber()), what}};
    };
    for (size_t d = 0; d < RoomRecord::kDirections; ++d) {
      if (r.exitRoom(d) == 0 || w.danglingExits.count({map, r.roomNumber(), d})) continue;
      const uint32_t toMap =
          r.exitType(d) == static_cast<uint16_t>(ExitType::kMapChange) ? r.exitParameter1(d) : map;
      if (!RoomExists(w, toMap, r.exitRoom(d))) {
        fail("exit " + std::string(kDirectionKeys[d]) + " leads to " +
             RoomText(toMap, r.exitRoom(d)) + ", which does not exist");
      }
    }
    if (r.deathRoom() != 0 && !RoomExists(w, map, r.deathRoom())) {
      fail("death room " + std::to_string(r.deathRoom()) + " does not exist");
    }
  }
}

// Active monsters left without a name take the known monster's figures, and
// each is listed in the room it stands in.
void PlaceActiveMonsters(World& w) {
  for (ActiveMonsterRecord& a : w.activeMonsters) {
    const auto known =
        std::find_if(w.monsters.begin(), w.monsters.end(),
                     [&](const MonsterRecord& m) { return m.number() == a.knownNumber(); });
    if (known != w.monsters.end() && a.name().empty()) {
      a.setName(known->name());
      if (a.monsterNumber() == 0) a.setMonsterNumber(known->number());
      if (a.expMultiplier() == 0) a.setExpMultiplier(known->expMultiplier());
      if (a.exp() == 0) a.setExp(known->exp());
      if (a.maxHitPoints() == 0) a.setMaxHitPoints(static_cast<int16_t>(known->hitPoints()));
      if (a.hitPoints() == 0) a.setHitPoints(a.maxHitPoints());
      if (a.maxEnergy() == 0) a.setMaxEnergy(known->energy());
      if (a.energy() == 0) a.setEnergy(a.maxEnergy());
      if (a.armourItem() == 0) a.setArmourItem(known->armourItem());
      if (a.weaponItem() == 0) a.setWeaponItem(known->weaponItem());
      if (a.armourClass() == 0) a.setArmourClass(known->armourClass());
      if (a.damageReduction() == 0) a.setDamageReduction(known->damageReduction());
      if (a.hpRegen() == 0) a.setHpRegen(known->hpRegen());
      if (a.alignment() == 0) a.setAlignment(known->alignment());
      if (a.movementType() == 0) a.setMovementType(known->movementType());
      if (a.followPercent() == 0) a.setFollowPercent(known->followPercent());
    }
    if (a.spawnRoom() == 0) a.setSpawnRoom(a.currentRoom());
    RoomRecord* room = FindRoom(w, a.mapNumber(), a.currentRoom());
    if (room == nullptr) {
      throw Fault{SourceError{
          "", 0, "active monster " + std::to_string(a.number()),
          "stands in " + RoomText(a.mapNumber(), a.currentRoom()) + ", which does not exist"}};
    }
    size_t slot = 0;
    while (slot < RoomRecord::kActiveMonstersCount && room->activeMonsters(slot) != 0 &&
           room->activeMonsters(slot) != a.number()) {
      ++slot;
    }
    if (slot == RoomRecord::kActiveMonstersCount) {
      throw Fault{SourceError{"", 0, RoomText(a.mapNumber(), a.currentRoom()),
                              "holds more than 15 active monsters"}};
    }
    room->setActiveMonsters(slot, a.number());
  }
}

}  // namespace

// ---------------------------------------------------------------- public

std::string SourceError::Text() const {
  std::string s;
  if (!file.empty()) s += file + (line > 0 ? ":" + std::to_string(line) : "") + ": ";
  if (!entry.empty()) s += entry + ": ";
  return s + message;
}

bool AddSource(const std::string& text, const std::string& fileName, World& world,
               SourceError& error) {
  toml::table root;
  try {
    root = toml::parse(text, fileName);
  } catch (const toml::parse_error& e) {
    error = SourceError{fileName, static_cast<int>(e.source().begin.line), "",
                        std::string(e.description())};
    return false;
  }
  Ctx c{fileName, "", &world.references};
  try {
    // Areas first, so that the same file's hand-written rooms can change them.
    if (const toml::node* areas = root.get("areas")) {
      const auto* a = areas->as_array();
      if (a == nullptr) c.Fail(*areas, "\"areas\" must be an array of tables");
      for (size_t i = 0; i < a->size(); ++i) {
        const toml::table& t = TableOf((*a)[i], c, "\"areas\" entries");
        c.entry = "areas[" + std::to_string(i) + "]";
        AddArea(world, t, c);
      }
      c.entry.clear();
    }
    for (const auto& [key, node] : root) {
      const std::string_view k = key.str();
      if (k == "areas") continue;
      if (k == "races") {
        AddRecords(world.races, node, k, c, RaceBindings(), "number");
      } else if (k == "classes") {
        AddRecords(world.classes, node, k, c, ClassBindings(), "number");
      } else if (k == "items") {
        ItemRecord prototype;
        prototype.setGettable(1);
        AddRecords(world.items, node, k, c, ItemBindings(), "number", prototype);
      } else if (k == "spells") {
        AddRecords(world.spells, node, k, c, SpellBindings(), "number");
      } else if (k == "monsters") {
        MonsterRecord prototype;
        prototype.setExpMultiplier(1);
        AddRecords(world.monsters, node, k, c, MonsterBindings(), "number", prototype);
      } else if (k == "shops") {
        AddRecords(world.shops, node, k, c, ShopBindings(), "number");
      } else if (k == "messages") {
        AddRecords(world.messages, node, k, c, MessageBindings(), "number");
      } else if (k == "texts") {
        AddRecords(world.texts, node, k, c, TextBindings(), "number");
      } else if (k == "active_monsters") {
        AddRecords(world.activeMonsters, node, k, c, ActiveBindings(), "number");
      } else if (k == "item_owners") {
        AddRecords(world.itemOwners, node, k, c, OwnerBindings(), "number");
      } else if (k == "gangs") {
        AddRecords(world.gangs, node, k, c, GangBindings(), "id");
      } else if (k == "rooms") {
        const auto* a = node.as_array();
        if (a == nullptr) c.Fail(node, "\"rooms\" must be an array of tables");
        for (size_t i = 0; i < a->size(); ++i) {
          const toml::table& t = TableOf((*a)[i], c, "\"rooms\" entries");
          c.entry = EntryName("rooms", i, t);
          AddRoom(world, t, c);
        }
        c.entry.clear();
      } else if (k == "live_extensions") {
        for (const toml::node& e : ArrayOf(node, c, k, 2)) {
          const auto* s = e.as_string();
          if (s == nullptr || (s->get() != "VIR" && s->get() != "DAT")) {
            c.Fail(e, "\"live_extensions\" holds \"VIR\" and/or \"DAT\"");
          }
          if (std::find(world.liveExtensions.begin(), world.liveExtensions.end(), s->get()) ==
              world.liveExtensions.end()) {
            world.liveExtensions.push_back(s->get());
          }
        }
      } else {
        c.Fail(node, "unknown top-level key " + Quoted(k));
      }
    }
  } catch (const Fault& f) {
    error = f.error;
    return false;
  }
  return true;
}

bool CheckWorld(World& w, SourceError& error) {
  try {
    SortByNumber(w.races, "race");
    SortByNumber(w.classes, "class");
    SortByNumber(w.items, "item");
    SortByNumber(w.spells, "spell");
    SortByNumber(w.monsters, "monster");
    SortByNumber(w.shops, "shop");
    SortByNumber(w.messages, "message");
    SortByNumber(w.activeMonsters, "active monster");
    SortByNumber(w.itemOwners, "item owner");
    SortUnique(
        w.texts, [](const TextBlockRecord& t) { return std::make_pair(t.blockNumber(), t.part()); },
        [](const TextBlockRecord& t) {
          return "text block " + std::to_string(t.blockNumber()) + " part " +
                 std::to_string(t.part());
        });
    SortUnique(
        w.gangs, [](const GangRecord& g) { return g.gangID(); },
        [](const GangRecord& g) { return "gang \"" + g.gangID() + "\""; });
    for (const auto& [what, numbered] :
         {std::pair{"race", std::any_of(w.races.begin(), w.races.end(),
                                        [](const RaceRecord& r) { return r.number() == 0; })},
          std::pair{"class", std::any_of(w.classes.begin(), w.classes.end(),
                                         [](const ClassRecord& r) { return r.number() == 0; })}}) {
      if (numbered) throw Fault{SourceError{"", 0, "", std::string(what) + " number 0 means none"}};
    }
    for (const Reference& ref : w.references) {
      if (!Exists(w, ref.kind, ref.number)) {
        SourceError e = ref.where;
        e.message = RefName(ref.kind) + " " + std::to_string(ref.number) + " does not exist";
        throw Fault{e};
      }
    }
    PlaceActiveMonsters(w);
    for (const ItemOwnerRecord& o : w.itemOwners) {
      if (o.ownerType() == static_cast<uint8_t>(OwnerType::kRoom) &&
          !RoomExists(w, o.mapNumber(), o.roomNumber())) {
        throw Fault{SourceError{"", 0, "item owner " + std::to_string(o.number()),
                                RoomText(o.mapNumber(), o.roomNumber()) + " does not exist"}};
      }
    }
    CheckRooms(w);
    std::sort(w.rooms.begin(), w.rooms.end(), [](const RoomRecord& a, const RoomRecord& b) {
      return std::make_pair(a.mapNumber(), a.roomNumber()) <
             std::make_pair(b.mapNumber(), b.roomNumber());
    });
  } catch (const Fault& f) {
    error = f.error;
    return false;
  }
  return true;
}

bool LoadWorld(const std::string& directory, World& world, SourceError& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".toml" && it->is_regular_file(ec)) files.push_back(it->path());
  }
  if (ec) {
    error = SourceError{directory, 0, "", "cannot be read: " + ec.message()};
    return false;
  }
  if (files.empty()) {
    error = SourceError{directory, 0, "", "holds no .toml files"};
    return false;
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& path : files) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
      error = SourceError{path.filename().string(), 0, "", "cannot be read"};
      return false;
    }
    if (!AddSource(text, path.filename().string(), world, error)) return false;
  }
  return CheckWorld(world, error);
}

namespace {

// One record file being written through the record manager.
class RecordFile {
 public:
  ~RecordFile() { Close(); }

  int16_t Create(const std::string& path, const exporter::TemplateSpec& spec) {
    std::vector<uint8_t> buffer = exporter::CreateBuffer(spec);
    uint32_t length = static_cast<uint32_t>(buffer.size());
    SetKey(path);
    std::array<uint8_t, bt::kPositionBlockSize> scratch{};
    int16_t st = BTRCALL(bt::op::kCreate, scratch.data(), buffer.data(), &length, key_.data(),
                         static_cast<uint8_t>(key_.size()), bt::create_mode::kReplace);
    if (st != 0) return st;
    SetKey(path);
    length = 0;
    st = BTRCALL(bt::op::kOpen, position_.data(), nullptr, &length, key_.data(),
                 static_cast<uint8_t>(key_.size()), bt::open_mode::kNormal);
    open_ = st == 0;
    return st;
  }
  int16_t Insert(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    uint32_t length = static_cast<uint32_t>(data.size());
    key_.fill(0);
    return BTRCALL(bt::op::kInsert, position_.data(), data.data(), &length, key_.data(),
                   static_cast<uint8_t>(key_.size()), 0);
  }
  int16_t Close() {
    if (!open_) return 0;
    open_ = false;
    uint32_t length = 0;
    return BTRCALL(bt::op::kClose, position_.data(), nullptr, &length, key_.data(), 0, 0);
  }

 private:
  void SetKey(const std::string& path) {
    key_.fill(0);
    std::memcpy(key_.data(), path.data(), std::min<size_t>(path.size(), bt::kMaxPathLength));
  }
  std::array<uint8_t, bt::kPositionBlockSize> position_{};
  std::array<uint8_t, bt::kMaxKeyLength> key_{};
  bool open_ = false;
};

// The bytes of a record as its file stores them: cut or zero-filled to `length`.
template <typename R>
std::vector<uint8_t> DiskBytes(const R& r, size_t length) {
  std::vector<uint8_t> out(length, 0);
  std::copy_n(r.data(), std::min(length, R::kSize), out.begin());
  return out;
}

std::string StatusText(const std::string& what, int16_t status) {
  return what + " failed with status " + std::to_string(status);
}

template <typename R>
bool AppendAll(UpdateFileWriter& writer, DatabaseFile file, const std::vector<R>& records,
               std::string& error) {
  for (const R& r : records) {
    const std::vector<uint8_t> bytes = DiskBytes(r, R::kDiskLength);
    const int16_t st = writer.Append(static_cast<uint8_t>(file + 1), bytes);
    if (st != 0) {
      error = StatusText(std::string("adding a record for ") + std::string(DatabaseFileName(file)) +
                             " to the update file",
                         st);
      return false;
    }
  }
  return true;
}

bool WriteUpdateFile(const World& w, const std::string& path, std::string& error) {
  UpdateFileWriter writer;
  int16_t st = writer.Create(path);
  if (st != 0) {
    error = StatusText("creating " + path, st);
    return false;
  }
  bool ok = AppendAll(writer, kRaceFile, w.races, error) &&
            AppendAll(writer, kClassFile, w.classes, error) &&
            AppendAll(writer, kRoomFile, w.rooms, error) &&
            AppendAll(writer, kShopFile, w.shops, error) &&
            AppendAll(writer, kItemFile, w.items, error) &&
            AppendAll(writer, kSpellFile, w.spells, error) &&
            AppendAll(writer, kMonsterFile, w.monsters, error) &&
            AppendAll(writer, kMessageFile, w.messages, error);
  for (size_t i = 0; ok && i < w.texts.size(); ++i) {
    const TextBlockRecord& t = w.texts[i];
    st = writer.Append(static_cast<uint8_t>(kTextFile + 1),
                       std::span<const uint8_t>(t.data(), t.storedLength()));
    if (st != 0) {
      error = StatusText("adding a text block to the update file", st);
      ok = false;
    }
  }
  st = writer.Close();
  if (ok && st != 0) {
    error = StatusText("closing " + path, st);
    ok = false;
  }
  return ok;
}

template <typename R>
bool WriteLiveFile(const std::vector<R>& records, const std::string& path,
                   const exporter::TemplateSpec& spec, std::string& error) {
  RecordFile file;
  int16_t st = file.Create(path, spec);
  if (st != 0) {
    error = StatusText("creating " + path, st);
    return false;
  }
  for (const R& r : records) {
    st = file.Insert(DiskBytes(r, R::kDiskLength));
    if (st != 0) {
      error = StatusText("inserting into " + path, st);
      return false;
    }
  }
  st = file.Close();
  if (st != 0) error = StatusText("closing " + path, st);
  return st == 0;
}

bool WriteAll(const World& w, const std::string& dir, std::vector<std::string>& names,
              std::string& error) {
  using exporter::TemplateSpec;
  namespace kt = bt::key_type;
  constexpr uint16_t kExtended = bt::key_flag::kExtendedType;
  names.push_back("WCCUPDA2.DAT");
  if (!WriteUpdateFile(w, dir + "/WCCUPDA2.DAT", error)) return false;
  for (const std::string& ext : w.liveExtensions) {
    const std::string active = std::string(DatabaseFileName(kActiveMonsterFile)) + "." + ext;
    const std::string owners = std::string(DatabaseFileName(kItemOwnerFile)) + "." + ext;
    const std::string gangs = std::string(DatabaseFileName(kGangFile)) + "." + ext;
    names.insert(names.end(), {active, owners, gangs});
    if (!WriteLiveFile(w.activeMonsters, dir + "/" + active,
                       TemplateSpec{kActiveMonsterFile, ActiveMonsterRecord::kDiskLength, 4096, 4,
                                    kt::kAutoIncrement, kExtended, 0},
                       error) ||
        !WriteLiveFile(w.itemOwners, dir + "/" + owners,
                       TemplateSpec{kItemOwnerFile, ItemOwnerRecord::kDiskLength, 4096, 4,
                                    kt::kAutoIncrement, kExtended, 0},
                       error) ||
        !WriteLiveFile(w.gangs, dir + "/" + gangs,
                       TemplateSpec{kGangFile, GangRecord::kDiskLength, 4096,
                                    GangRecord::kGangIDLength, kt::kZString, kExtended, 0},
                       error)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool WriteWorld(const World& w, const std::string& outDir, std::string& error) {
  namespace fs = std::filesystem;
  std::string pattern = outDir + "/.world_build-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    error = outDir + ": cannot make a temporary directory: " + std::strerror(errno);
    return false;
  }
  const std::string temp = pattern;
  std::vector<std::string> names;
  bool ok = WriteAll(w, temp, names, error);
  const int16_t stopped = WBTRVSTOP();
  if (ok && stopped != 0) {
    error = StatusText("stopping the record manager", stopped);
    ok = false;
  }
  std::error_code ec;
  for (size_t i = 0; ok && i < names.size(); ++i) {
    fs::rename(temp + "/" + names[i], outDir + "/" + names[i], ec);
    if (ec) {
      error = outDir + "/" + names[i] + ": " + ec.message();
      ok = false;
    }
  }
  fs::remove_all(temp, ec);
  return ok;
}

int WorldBuildMain(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: world_build <source directory> <output directory>\n");
    return 2;
  }
  World world;
  SourceError source;
  if (!LoadWorld(args[0], world, source)) {
    std::fprintf(stderr, "world_build: %s\n", source.Text().c_str());
    return 1;
  }
  std::error_code ec;
  std::filesystem::create_directories(args[1], ec);
  std::string error;
  if (ec) {
    std::fprintf(stderr, "world_build: %s: %s\n", args[1].c_str(), ec.message().c_str());
    return 1;
  }
  if (!WriteWorld(world, args[1], error)) {
    std::fprintf(stderr, "world_build: %s\n", error.c_str());
    return 1;
  }
  std::printf(
      "world_build: %zu races, %zu classes, %zu items, %zu spells, %zu monsters, %zu shops, "
      "%zu messages, %zu text-block parts, %zu rooms, %zu active monsters, %zu item owners, "
      "%zu gangs\n",
      world.races.size(), world.classes.size(), world.items.size(), world.spells.size(),
      world.monsters.size(), world.shops.size(), world.messages.size(), world.texts.size(),
      world.rooms.size(), world.activeMonsters.size(), world.itemOwners.size(), world.gangs.size());
  return 0;
}

}  // namespace torvex::worldsrc
