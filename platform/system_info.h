// Facts about the machine and the account the program runs under.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// What the C library's heap holds: bytes handed out and bytes kept free for
// later requests. nullopt where the library cannot tell.
struct HeapUse {
  uint64_t allocated = 0;
  uint64_t free = 0;
};
std::optional<HeapUse> CurrentHeapUse();

// Processors online; at least 1.
int ProcessorCount();
// The processors this process may run on, one bit per processor number 0..31;
// 0 when the system does not say.
uint32_t ProcessAffinityMask();

// The command line the program was started with, the program's own name
// first. The entry point records it once at start-up; until then it is empty.
void SetProgramArguments(std::vector<std::string> arguments);
const std::vector<std::string>& ProgramArguments();

}  // namespace torvex
