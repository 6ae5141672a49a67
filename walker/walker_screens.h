// The walker's informational commands and settings: SET, GOTO, HELP, INFO,
// DEBUG and VERSION. Each writes its lines at the cursor through the
// colour-code writer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "database/records/records.h"
#include "database/settings.h"
#include "platform/system_info.h"
#include "walker/session.h"
#include "walker/typed_line.h"

namespace torvex {

// SET alone.
void ShowSetSyntax(Console& console);
// SET with an option (line.size() >= 2): changes session.options and writes
// what changed, the option's own complaint, or "Your command had no effect.".
// SET CHAR goes on to the character's own settings (walker/character_settings.h).
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

// The lines the screens above write, with colour codes, one entry per screen
// line: the screens write exactly these. Tests read them, and a caller may page
// them itself.
std::vector<std::string> SetSyntaxLines();
// What RunSetCommand writes; changes session.options as it does.
std::vector<std::string> SetCommandLines(WalkerSession& session, const TypedLine& line);
std::vector<std::string> GotoListLines(const std::vector<TGotoSectionEntry>& sections);
std::vector<std::string> WalkerHelpLines();
// The details of `room`; monster and spell names are read through the record
// cache.
std::vector<std::string> RoomInfoLines(const RoomRecord& room);
// DEBUG HELP.
std::vector<std::string> DebugSyntaxLines();
std::string WalkerVersionLine();

// What the system information screen reports, gathered in one place so that
// the screen itself is a plain function of it.
struct SystemFacts {
  std::optional<HeapUse> heap;
  // Any address on the stack of the caller: its identity only is shown.
  const void* stackAddress = nullptr;
  int processors = 1;
  uint32_t affinityMask = 0;
  // The command line, the program's name first.
  std::vector<std::string> arguments;
  std::string iniFileName;
  // The data directory as configured, and the one files are opened from
  // (empty: the current directory) with the extension of the chosen kind.
  std::string configuredDataDirectory;
  std::string dataDirectory;
  std::string extension;
  // The record manager's version report (database/btrieve_layer.h).
  std::vector<std::string> versionReport;
};
// The facts of the running program; `stackAddress` is the caller's to give.
SystemFacts CurrentSystemFacts(const void* stackAddress);
std::vector<std::string> SystemDebugLines(const SystemFacts& facts);

}  // namespace torvex
