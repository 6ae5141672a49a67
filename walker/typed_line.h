// A line typed at the walker's prompt, split into the forms commands match on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvex {

struct TypedLine {
  static constexpr size_t kMaxWords = 9;
  // The words in upper case, for matching: runs of spaces count as one, and
  // the ninth word takes the rest of the line.
  std::vector<std::string> upper;
  // The same words as typed.
  std::vector<std::string> typed;
  // The rest of the line after the first space, as typed.
  std::string arguments;

  size_t size() const { return upper.size(); }
  // The upper-case word at `index`, "" past the end.
  const std::string& Word(size_t index) const;
};

TypedLine SplitTypedLine(std::string_view line);

// True when `typed` abbreviates `command`: not longer than it, at least
// `minimum` characters, and equal to its first characters ignoring case. An
// empty word abbreviates nothing.
bool Abbreviates(std::string_view typed, std::string_view command, size_t minimum = 1);

}  // namespace torvex
