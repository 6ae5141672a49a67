// The demo world's readable sources (data/world/*.toml) and what is built from
// them: an update file for quendex and the live-state record files.
//
// Every *.toml file of the source directory is read, in name order. A file holds
// any of the top-level arrays of tables `races`, `classes`, `items`, `spells`,
// `monsters`, `shops`, `messages`, `texts`, `rooms`, `areas`, `active_monsters`,
// `item_owners`, `gangs`, and the array `live_extensions`; docs/demo-world.md
// describes each entry's keys. Unknown keys, values outside a field, text longer
// than its field, duplicate numbers and references to records that do not exist
// are errors, reported with the file, line and entry. The one exception: an
// element of `stock`, `items`, `hidden_items` or `drops` that says
// `allow_missing = true` may name an item no source defines (to show how the
// browsers treat such a slot), and so may an exit that says it name a room (or,
// for a map change, a map) that does not exist (to show how the walker treats
// such an exit); every other reference must still exist.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "database/records/records.h"

namespace torvex::worldsrc {

// Where a source fault lies and what it is.
struct SourceError {
  std::string file;     // file name within the source directory; empty when none
  int line = 0;         // 1-based; 0 when unknown
  std::string entry;    // e.g. "items[3] (number 12)"; empty when the fault is the file's
  std::string message;  // what is wrong

  // "file:line: entry: message", leaving out the parts that are empty.
  std::string Text() const;
};

// A kind of record that another record names by number.
enum class Ref { kNone, kRace, kClass, kItem, kSpell, kMonster, kShop, kMessage, kText, kActive };

// A number named in a source, to be found once every source is read.
struct Reference {
  Ref kind;
  uint32_t number;
  SourceError where;
};

// The records of a world. CheckWorld sorts each list by its file's key.
struct World {
  std::vector<RaceRecord> races;
  std::vector<ClassRecord> classes;
  std::vector<ItemRecord> items;
  std::vector<SpellRecord> spells;
  std::vector<MonsterRecord> monsters;
  std::vector<ShopRecord> shops;
  std::vector<MessageRecord> messages;
  std::vector<TextBlockRecord> texts;  // text already in its stored (encoded) form
  std::vector<RoomRecord> rooms;
  std::vector<ActiveMonsterRecord> activeMonsters;
  std::vector<ItemOwnerRecord> itemOwners;
  std::vector<GangRecord> gangs;
  // Extensions the live-state files are written with ("VIR", "DAT").
  std::vector<std::string> liveExtensions;
  // Filled by AddSource, checked by CheckWorld.
  std::vector<Reference> references;
  // Exits whose source said `allow_missing = true`, as map, room and direction:
  // their destination need not exist.
  struct ExitPlace {
    uint32_t map;
    uint32_t room;
    size_t direction;
    auto operator<=>(const ExitPlace&) const = default;
  };
  std::set<ExitPlace> danglingExits;
};

// Reads one source text as if it were file `fileName` and adds its entries to
// `world` (no cross-record checks; see CheckWorld). Returns false and fills
// `error` at the first fault.
bool AddSource(const std::string& text, const std::string& fileName, World& world,
               SourceError& error);

// Sorts every list by key and checks what only the whole world can tell: unique
// numbers and references between records. Returns false at the first fault.
bool CheckWorld(World& world, SourceError& error);

// Every *.toml file of `directory` through AddSource, then CheckWorld.
bool LoadWorld(const std::string& directory, World& world, SourceError& error);

// Writes `outDir`/WCCUPDA2.DAT carrying the nine template kinds, and the
// live-state files WCCACMS2, WCCITOW2 and WCCGANG2 with each of the world's live
// extensions. Everything is built in a temporary directory inside `outDir` and
// then renamed into place, so a failure leaves the old files as they were (only a
// failure between two renames leaves some files new). Uses the record manager
// and leaves it stopped. Returns false with a message on failure. `outDir` must
// exist.
bool WriteWorld(const World& world, const std::string& outDir, std::string& error);

// world_build's whole run: arguments without the program name. Writes messages
// to stderr and returns the exit code (0 built, 1 bad source or failed write, 2
// usage).
int WorldBuildMain(const std::vector<std::string>& args);

}  // namespace torvex::worldsrc
