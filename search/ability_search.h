// The "Search for Ability Value" option of the browsers whose records carry
// ability slots (parallel arrays of ability numbers and values): find the next
// record with an ability, a value, or both in one slot.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "console/input_manager.h"
#include "search/search_query.h"

namespace torvex {

// The prompt's text and its input length.
extern const char kAbilitySearchPrompt[];
inline constexpr int kAbilitySearchLength = 12;

struct AbilityQuery {
  enum class Kind {
    kAbility,  // a slot holds the ability, whatever its value
    kValue,    // a slot holds the value, whatever its ability
    kBoth,     // one slot holds the ability and the value together
  };
  Kind kind = Kind::kAbility;
  int32_t ability = 0;
  int32_t value = 0;
  std::string notFound;

  // Whether one slot satisfies the query. Values compare as signed 16-bit
  // numbers, so a typed 65535 finds -1.
  bool SlotMatches(uint16_t slotAbility, int16_t slotValue) const;
};

// Reads an answer to the prompt: "A" (blanks around it allowed), "A/V", "A/*"
// or "*/V"; a part holding "*" anywhere is a wildcard, a part that is not a
// number counts as 0. nullopt for an empty answer and for two wildcards.
std::optional<AbilityQuery> ParseAbilityQuery(std::string_view answer);

// Asks for the query in the input style. nullopt when cancelled or when the
// answer asks for nothing.
std::optional<AbilityQuery> AskAbilityQuery(TInputManager& input);

// The option's query over records of type Record (a record class of
// database/records with ability slots): any of its kAbilitySlots slots
// satisfying the ability query.
template <typename Record>
std::optional<SearchQuery> AskAbilitySearch(TInputManager& input) {
  std::optional<AbilityQuery> query = AskAbilityQuery(input);
  if (!query) return std::nullopt;
  SearchQuery search;
  search.notFound = query->notFound;
  search.matches = [q = *query](std::span<const uint8_t> bytes) {
    const Record record(bytes);
    for (size_t i = 0; i < Record::kAbilitySlots; ++i) {
      if (q.SlotMatches(record.abilityNumbers(i), record.abilityValues(i))) return true;
    }
    return false;
  };
  return search;
}

}  // namespace torvex
