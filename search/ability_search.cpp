#include "search/ability_search.h"

#include "console/format.h"

namespace torvex {

const char kAbilitySearchPrompt[] =
    "Enter ability and/or value to search for (details: you enter the ability, then the value, "
    "seperated by a slash (/). Use an asterisk before or after the slash to just search for the "
    "OTHER field. 128/* searches for everything with a 128 ability, regardless of the value. "
    "*/128 searches for everything with a value of 128, regardless of the ability.):";

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

bool AbilityQuery::SlotMatches(uint16_t slotAbility, int16_t slotValue) const {
  const bool abilityHit = static_cast<int32_t>(slotAbility) == ability;
  const bool valueHit = slotValue == static_cast<int16_t>(value);
  switch (kind) {
    case Kind::kAbility:
      return abilityHit;
    case Kind::kValue:
      return valueHit;
    case Kind::kBoth:
      return abilityHit && valueHit;
  }
  return false;
}

std::optional<AbilityQuery> ParseAbilityQuery(std::string_view answer) {
  answer = TrimBlanks(answer);
  if (answer.empty()) return std::nullopt;
  AbilityQuery q;
  const size_t slash = answer.find('/');
  if (slash == std::string_view::npos) {
    q.kind = AbilityQuery::Kind::kAbility;
    q.ability = DecimalValue(answer);
    q.notFound = Format("No records matching your ability query, \"%d\", were found.", q.ability);
    return q;
  }
  const std::string_view abilityPart = answer.substr(0, slash);
  const std::string_view valuePart = answer.substr(slash + 1);
  const bool anyAbility = abilityPart.find('*') != std::string_view::npos;
  const bool anyValue = valuePart.find('*') != std::string_view::npos;
  if (anyAbility && anyValue) return std::nullopt;
  q.ability = DecimalValue(TrimBlanks(abilityPart));
  q.value = DecimalValue(TrimBlanks(valuePart));
  if (!anyAbility && !anyValue) {
    q.kind = AbilityQuery::Kind::kBoth;
    q.notFound =
        Format("No records matching your search query, \"ability: %d / value: %d\", were found.",
               q.ability, q.value);
  } else {
    q.kind = anyValue ? AbilityQuery::Kind::kAbility : AbilityQuery::Kind::kValue;
    q.notFound = Format(
        "No records matching your ability/value query, \"ability: %d / value: %d\", were found.",
        q.ability, q.value);
  }
  return q;
}

std::optional<AbilityQuery> AskAbilityQuery(TInputManager& input) {
  ApplyWindowStyle(input, kInputStyle);
  input.Prompt = kAbilitySearchPrompt;
  input.MaxLength = kAbilitySearchLength;
  input.AskText();
  if (input.Cancelled) return std::nullopt;
  return ParseAbilityQuery(input.ResultText);
}

}  // namespace torvex
