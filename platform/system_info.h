// Facts about the machine and the account the program runs under.
#pragma once

#include <string>

namespace torvex {

// "|14SSE2" for an Intel processor with SSE2, "|11MMX" for an Intel or AMD one
// with MMX, otherwise empty (also on processors without the identification
// instruction).
std::string CpuLabel();

// Pure form of the rule above, for tests: vendor is the 12-character
// identification string, edx the standard feature flags.
std::string CpuLabelFor(const std::string& vendor, unsigned edx);

// The account's login name, or "Unnamed" when there is none.
std::string UserName();

// Directory of the running executable, with a trailing '/'; empty if unknown.
std::string ExecutableDirectory();

// `path` made absolute against the current directory (not resolved further).
std::string AbsolutePath(const std::string& path);

}  // namespace torvex
