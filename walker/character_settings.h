// SET CHAR: the operator changes the character directly.
#pragma once

#include <string>
#include <vector>

#include "walker/session.h"
#include "walker/typed_line.h"

namespace torvex {

// The highest level SET CHAR LEVEL sets; larger values are taken as it.
inline constexpr int32_t kHighestSetLevel = 65535;

// SET CHAR alone: the syntax line and the settings.
std::vector<std::string> SetCharacterSyntaxLines();

// SET CHAR <setting> [value] (line.Word(1) abbreviates CHAR): changes the
// character and returns what to show. Settings are matched as abbreviations in
// a fixed order, so that L is LEVEL, C is CLASS and E is EXPERIENCE. A value
// that is not a number (or is out of the setting's range) keeps the current
// value. LEVEL adds or removes one hit-point roll of the class per level.
std::vector<std::string> SetCharacterLines(WalkerSession& session, const TypedLine& line);

}  // namespace torvex
