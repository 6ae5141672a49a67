// Scaffold: replaced by the walker's informational screens.
#include "walker/walker_screens.h"

namespace torvex {

void ShowSetSyntax(Console&) {}
void RunSetCommand(Console&, WalkerSession&, const TypedLine&) {}
void ShowGotoList(Console&, const std::vector<TGotoSectionEntry>&) {}
std::optional<TGotoEntry> FindGotoLocation(const std::vector<TGotoSectionEntry>&,
                                           std::string_view) {
  return std::nullopt;
}
void ShowWalkerHelp(Console&) {}
void ShowRoomInfo(Console&, const WalkerSession&) {}
void ShowSystemDebug(Console&) {}
void RunDebugCommand(Console&, const TypedLine&) {}
std::string_view WalkerNotice() { return ""; }
void ShowWalkerVersion(Console&) {}

}  // namespace torvex
