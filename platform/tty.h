// Small facts about the controlling terminal and the process's place under it.
#pragma once

namespace torvex {

// True when standard input and standard output are both terminals.
bool HaveTerminal();

// The terminal's size in character cells; false when standard output is not a
// terminal or the size is unknown.
bool TerminalSize(int* columns, int* rows);

// True when the program was started directly by a terminal window rather than
// from a shell in it: the process leads its own session (`xterm -e torvex`, a
// desktop launcher). Such a window closes the moment the program ends, so the
// program waits for a key first, as it would in a console window opened for it.
bool StartedInOwnWindow();

// Waits for one key press on the terminal, in raw mode for the duration of the
// call. Returns at once when there is no terminal.
void WaitForKeyOnTerminal();

// True when the locale's character set is UTF-8 (text for standard output is then
// converted from code page 437).
bool LocaleIsUtf8();

}  // namespace torvex
