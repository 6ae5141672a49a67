// How the walker shows a room: title, description, the items and monsters
// there, the exits and the light, and the prompt under it. The line builders
// return colour-code text; DisplayRoom writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "database/records/records.h"
#include "walker/character_rules.h"
#include "walker/session.h"

namespace torvex {

// The colour codes of the palette's accent ("Also here:", chat channels).
std::string_view PaletteColour(int32_t palette);

// "north" ... "down"; "" outside 0..9.
std::string_view WalkerDirectionName(int direction);

// The room's title line in the session's title style.
std::string TitleLine(const RoomRecord& room, int32_t titleStyle);

// The description lines, the first indented, up to the first empty one.
std::vector<std::string> DescriptionLines(const RoomRecord& room);

// The items lying in the room ("" when none is shown): visible items, and with
// kItemsShowAll the hidden ones too, each as its quantity and name, with its
// number when kItemsShowNumbers is set.
std::string ItemsLine(const RoomRecord& room, int32_t itemOptions);

// "Also here: ..." for the given names ("" when there are none).
std::string MonstersLine(const std::vector<std::string>& names, int32_t palette);
// The names the monster line shows for the session's current room: the
// generated monsters, or with kMonstersActiveOnly the room's live monsters,
// with their numbers when kMonstersShowNumbers is set.
std::vector<std::string> RoomMonsterNames(const WalkerSession& session, const RoomRecord& room,
                                          bool generated);

// "Obvious exits: ...", in the exit style, without the palette prefix.
std::string ExitLine(const RoomRecord& room, int32_t exitStyle);
// The exit line with the palette's prefix, as the room display writes it.
std::string ExitLineForDisplay(const RoomRecord& room, const WalkerOptions& options);

// The light line for a light level ("" when the light needs no remark).
std::string LightLine(const Light& light);

// The prompt for the class's magic, in the palette's form.
std::string PromptText(int32_t palette, MagicKind magic, int32_t hitPoints, int32_t mana);

// Writes the room: the title, the description when `full`, items, monsters,
// exits and light. `entered` is true for the room the character stands in
// (its generated monsters are shown); false for a room only looked at.
void DisplayRoom(Console& console, const WalkerSession& session, const RoomRecord& room, bool full,
                 bool entered);

}  // namespace torvex
