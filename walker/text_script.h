// The text-block interpreter: replays the game's room scripts, random blocks,
// monster talk and the blocks that spells, actions and deaths run, inside the
// room walker and the spell simulator.
//
// A script cannot be played against a real game state here, so every
// condition is put to the operator as a yes/no question and every effect on
// the character is narrated; only moving (TELEPORT), showing texts, messages
// and monsters, running other blocks and casting spells are carried out.
//
// Text blocks are read part by part through the record cache (or the reader
// set with SetTextBlockReader) and decoded with the bounded decoder; message
// lines used as formats are filled with FillStoredText only. Game texts that
// carry an Esc go through the ANSI writer, everything else through the
// colour-code writer.
//
// A run is one outermost call of the functions below together with every
// block it leads to (RANDOM, CAST through ability 148, action blocks). Runs
// are bounded: blocks nested deeper than kScriptDepthBound, or more than
// kScriptCommandBound commands in one run, end the whole run with one notice
// line. Esc or Ctrl+C at any wait of a run (a question, the TEXT key, a paging
// pause, a step) answers the wait as N and ends the whole run with
// kScriptStoppedNotice. Nothing is kept between runs.
//
// `map` and `room` are the caller's position: only TELEPORT changes them. The
// caller compares them with the room stood in afterwards and enters the new
// room. The session is read for its options (line information, step
// debugging, error lines) and, by Talk, for the room stood in; it is not
// changed. Single threaded, like the rest of the program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "database/records/records.h"
#include "walker/session.h"

namespace torvex {

// Where a command stands in its script, as the line information shows it:
// block, part, line (from 1 within the part), command (from 1 within the line).
struct ScriptPosition {
  uint32_t block = 0;
  uint16_t part = 0;
  int line = 0;
  int command = 0;
};

// Blocks that run blocks (RANDOM, CAST, action blocks) may nest this deep.
inline constexpr int kScriptDepthBound = 16;
// Commands one run may execute, whatever their nesting.
inline constexpr int64_t kScriptCommandBound = 10000;
// The line that ends a run the user stopped with Esc or Ctrl+C.
inline constexpr char kScriptStoppedNotice[] = "|08(Script stopped)";

// Return values of RunScriptLine and ExecuteCommand.
inline constexpr int kScriptSucceeded = 0;
inline constexpr int kScriptFailed = -1;

// Runs part `part` of block `block`: its lines in order as alternatives, until
// one succeeds. A missing block or part does nothing. The second form runs
// with a scratch position, for callers without one.
void RunTextBlock(Console& console, const WalkerSession& session, uint32_t block, uint16_t part,
                  uint32_t& map, uint32_t& room);
void RunTextBlock(Console& console, const WalkerSession& session, uint32_t block, uint16_t part);

// Looks for `typedLine` (compared ignoring case) among the typed commands of
// `commandBlock`, part after part until a part is missing or one held a match.
// Within that part every line with the same typed command is an alternative:
// the first whose script succeeds ends the search. True when any line matched.
bool RunRoomCommand(Console& console, const WalkerSession& session, uint32_t commandBlock,
                    std::string_view typedLine, uint32_t& map, uint32_t& room);

// Runs one script line: trimmed, split at ":" into commands (an empty last
// piece is skipped), each executed in turn until one fails. Returns
// kScriptSucceeded or kScriptFailed (also when the run ends on the way).
// `position` gives block, part and line; the command index is counted here.
int RunScriptLine(Console& console, const WalkerSession& session, std::string_view line,
                  uint32_t& map, uint32_t& room, const ScriptPosition& position);

// The words of one command: split at spaces, empty words dropped, at most 8,
// the eighth taking the rest of the command.
std::vector<std::string> SplitCommandWords(std::string_view command);

// Executes one command (its words, as SplitCommandWords gives them). Returns
// kScriptSucceeded or kScriptFailed.
int ExecuteCommand(Console& console, const WalkerSession& session,
                   const std::vector<std::string>& words, uint32_t& map, uint32_t& room,
                   const ScriptPosition& position);

// A number argument as scripts write them: an optional sign and digits only,
// within 32 bits; any other word (empty, "12abc", out of range) counts as 0.
int32_t ScriptNumber(std::string_view word);

// Rolls 1..99 from ProgramRandom() and runs the script of the first line of
// part 0 of `block` whose threshold (the text before its ":") is at least the
// roll. True when a line was run; false when the block is missing or no
// threshold reached the roll.
bool RunRandomBlock(Console& console, const WalkerSession& session, uint32_t block, uint32_t& map,
                    uint32_t& room);

// ASK or GREET: talks to the placed monster of the room stood in
// (session.room.permNPC()) when `typedName` abbreviates its name. Without a
// topic the monster greets; with one, the first line of its talk block that
// begins with the topic names the response block shown, and the block linked
// from the last part shown runs as an action block.
void Talk(Console& console, const WalkerSession& session, std::string_view typedName,
          std::string_view topic, uint32_t& map, uint32_t& room);

// Shows block `block` from part `firstPart` (only that part unless
// `allParts`) in green through the ANSI writer, pausing after every 46 lines
// when `paging`; then ends the ANSI display, writes a line end and resets the
// text attribute. A missing first part shows only the line end.
void ShowTextBlock(Console& console, uint32_t block, uint16_t firstPart, bool allParts,
                   bool paging);

// COMMANDS: lists the typed commands of `commandBlock` with their scripts, one
// command of a script per row.
void ListRoomCommands(Console& console, uint32_t commandBlock);

// Makes casts that run text blocks (ability 148) run them here, on `console`
// with the options of `session`; both must live as long as the runner is set.
// Blocks run by a CAST inside a run use that run's position; blocks run by
// any other cast (the spell simulator, an exit's spell) use a scratch one.
void InstallTextBlockRunner(Console& console, const WalkerSession& session);

// Where text-block parts are read from: GetTextBlock through the cache by
// default. Answers 0 and fills `record` when the part exists. Meant for tests
// and the fuzz target, which serve blocks from memory.
using TextBlockReader =
    std::function<int32_t(uint32_t block, uint16_t part, TextBlockRecord& record)>;
// Sets the reader (an empty one restores the default); returns the previous.
TextBlockReader SetTextBlockReader(TextBlockReader reader);

}  // namespace torvex
