// Scaffold: replaced by the overhead map.
#include "walker/overhead_map.h"

namespace torvex {

void ShowOverheadMap(Console&, const WalkerSession&, std::string_view) {}
void ShowMapHelp(Console&) {}

}  // namespace torvex
