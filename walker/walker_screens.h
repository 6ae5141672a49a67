// The walker's informational commands and settings: SET, GOTO, HELP, INFO,
// DEBUG and VERSION. Each writes its lines at the cursor through the
// colour-code writer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"
#include "database/settings.h"
#include "walker/session.h"
#include "walker/typed_line.h"

namespace torvex {

// SET alone.
void ShowSetSyntax(Console& console);
// SET with an option (line.size() >= 2): changes session.options and writes
// what changed, the option's own complaint, or "Your command had no effect.".
// SET CHAR is answered by `setCharacter`.
void RunSetCommand(Console& console, WalkerSession& session, const TypedLine& line);

// GOTO alone: the syntax and every location of `sections`.
void ShowGotoList(Console& console, const std::vector<TGotoSectionEntry>& sections);
// The first location named `name` (already trimmed and lower-cased), in
// section order.
std::optional<TGotoEntry> FindGotoLocation(const std::vector<TGotoSectionEntry>& sections,
                                           std::string_view name);

// ? or HELP alone.
void ShowWalkerHelp(Console& console);
// INFO: the current room's details.
void ShowRoomInfo(Console& console, const WalkerSession& session);
// DEBUG alone: the system information screen.
void ShowSystemDebug(Console& console);
// DEBUG with an option (line.size() >= 2).
void RunDebugCommand(Console& console, const TypedLine& line);
// The notice written under "Attention!" when a walk starts, lines separated
// by "\r\n".
std::string_view WalkerNotice();
// VERSION.
void ShowWalkerVersion(Console& console);

}  // namespace torvex
