// The walker's commands: two tables, one for lines of several words and one
// for single words, each row naming its words and what it does. The first row
// whose words match wins, so the order of the rows settles every overlap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "walker/session.h"
#include "walker/typed_line.h"

namespace torvex {

// What the next turn shows of the room.
enum class RoomShow {
  kNothing,          // the prompt alone
  kWithoutText,      // the room without its description
  kAsBriefModeSays,  // with the description unless brief mode is on
  kFull,             // with the description whatever brief mode says
};

// One turn of the walk: the line's effects on the session and on what the
// next turn shows.
struct WalkTurn {
  Console& console;
  WalkerSession& session;
  RoomShow show = RoomShow::kNothing;
  bool leave = false;
};

// Answers a matched row; false passes the line on to the rows below.
using CommandHandler = bool (*)(WalkTurn& turn, const TypedLine& line, std::string_view command);

// A command word and how much of it must be typed: at least `minimum` letters
// of it, or the whole word exactly when `minimum` is 0.
struct CommandWord {
  std::string_view word;
  size_t minimum = 1;
};
inline constexpr size_t kExact = 0;

struct CommandRow {
  // Any of these, as the first word typed. The first names the command.
  std::vector<CommandWord> words;
  // When set, the second word typed must match it too.
  std::optional<CommandWord> second;
  CommandHandler handler = nullptr;
};

inline constexpr std::string_view kNoEffect = "|07Your command had no effect.";

// The longest line the prompt takes.
inline constexpr size_t kMaxTypedLine = 250;

// Lines of two words or more, and lines of one word, in matching order.
const std::vector<CommandRow>& ArgumentCommands();
const std::vector<CommandRow>& SingleWordCommands();

// True when `typed` (upper case) matches `word`.
bool MatchesCommandWord(const CommandWord& word, std::string_view typed);
// The index of the first row at or after `from` that `line` matches, or
// nullopt.
std::optional<size_t> FindCommand(const std::vector<CommandRow>& rows, const TypedLine& line,
                                  size_t from = 0);

// Acts on one line typed at the prompt: chat lines, then the commands.
void RunTypedLine(WalkTurn& turn, std::string_view line);

}  // namespace torvex
