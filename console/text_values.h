// Numbers and truth values read from text a person typed or a file holds: one
// reading for the prompts, the ini file and the simulators. Nothing is
// trimmed: callers that allow blanks around a value remove them first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvex {

// `a` and `b` equal when ASCII letters are compared without their case.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// `text` with its ASCII letters in upper or in lower case; other bytes as
// they are.
std::string UpperCased(std::string_view text);
std::string LowerCased(std::string_view text);

// `text` without the blanks (spaces) before and after it.
std::string_view TrimmedSpaces(std::string_view text);

// A decimal number: an optional "+" or "-", then digits only, within the
// type's range. nullopt for anything else, empty text included.
std::optional<int64_t> ParseInteger(std::string_view text);
std::optional<int32_t> ParseDecimal(std::string_view text);

// The standard text-to-boolean conversion: "True" or "False" in any case, or a
// decimal number (non-zero is true). nullopt for anything else.
std::optional<bool> ParseBoolean(std::string_view text);

}  // namespace torvex
