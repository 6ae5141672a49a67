#include "walker/typed_line.h"

#include "console/text_values.h"
#include "database/records/record_rules.h"

namespace torvex {

const std::string& TypedLine::Word(size_t index) const {
  static const std::string kNone;
  return index < upper.size() ? upper[index] : kNone;
}

TypedLine SplitTypedLine(std::string_view line) {
  TypedLine out;
  size_t at = 0;
  bool first = true;
  while (at < line.size()) {
    while (at < line.size() && line[at] == ' ') ++at;
    if (at >= line.size()) break;
    if (!first && out.arguments.empty()) out.arguments = std::string(line.substr(at));
    first = false;
    size_t end = line.find(' ', at);
    // The last word kept takes the rest of the line, spaces and all.
    if (out.typed.size() + 1 == TypedLine::kMaxWords || end == std::string_view::npos) {
      end = line.size();
    }
    const std::string_view word = line.substr(at, end - at);
    out.typed.emplace_back(word);
    out.upper.push_back(UpperCased(word));
    at = end;
  }
  return out;
}

bool Abbreviates(std::string_view typed, std::string_view command, size_t minimum) {
  if (typed.empty() || typed.size() < minimum) return false;
  return PrefixMatches(typed, command);
}

}  // namespace torvex
