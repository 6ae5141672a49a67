#!/usr/bin/env bash
# Drives the real torvex binary in an 80x50 tmux session: the main menu shows,
# its rows and colours are where they belong, Q leaves, and the farewell box
# stays on the terminal afterwards with the terminal's modes restored.
set -euo pipefail
torvex=$1
source "$(dirname "$0")/tmux_session.sh"

# The usage text, exactly, on standard output, without touching the terminal.
expected_usage='Views the database information for Dunmarrow databases.

TORVEX [inifile] [/RACES | /CLASSES | /SPELLS | /ITOWNERS | /ITEMS |
       /ACTIVE | /MONSTERS | /MESSAGES | /TEXT | /SHOPS | /ROOMS | /ROOMSIM]

  inifile      Specifies an INI file to read and use, overriding the default
               filename of torvex.ini.
  /RACES       Starts TORVEX in the specified viewer, skipping the main
  /CLASSES     menu screen where you usually select which viewer to load
  /SPELLS      first. The last viewer specified is the one started, all
  /ITOWNERS    previous selections are ignored.
  /ITEMS
  /ACTIVE
  /MONSTERS
  /MESSAGES
  /TEXT
  /SHOPS
  /ROOMS
  /ROOMSIM
  /?           Displays this help screen.
'
usage=$("$torvex" "/?" < /dev/null; echo x)
[[ "${usage%x}" == "$expected_usage"$'\n' ]] || fail "usage text differs: $(diff <(printf '%s' "${usage%x}") <(printf '%s\n' "$expected_usage"))"
[[ ! -e "$XDG_CONFIG_HOME/torvex/torvex.ini" ]] || fail "help wrote an ini file"
# Without a terminal the program says so and writes no ini file.
nottyout=$("$torvex" < /dev/null 2>&1 > /dev/null; echo "exit=$?")
[[ "$nottyout" == *"runs full-screen in a terminal"*"exit=1" ]] || fail "no terminal not told: $nottyout"
[[ ! -e "$XDG_CONFIG_HOME/torvex/torvex.ini" ]] || fail "a run without a terminal wrote an ini file"

start_session
tmux -S "$sock" send-keys -t e2e "stty -a > before.txt; $torvex; echo \"exit=\$?\"; stty -a > after.txt; echo modes-saved" Enter

# No game files here: the start-up check reports nine failures and waits.
wait_for "[Startup Check]"
wait_for "<PRESS ANY KEY TO CONTINUE>"
check=$(tmux -S "$sock" capture-pane -p -t e2e)
[[ $(grep -c "Failure! (Error: 12)" <<<"$check") == 9 ]] || fail "nine failures expected"
tmux -S "$sock" send-keys -t e2e Space

wait_for "[1] or [R] Races"
screen=$(tmux -S "$sock" capture-pane -p -t e2e)
row() { sed -n "$1p" <<<"$screen"; }
[[ "$(row 2)" == *"TORVEX-NT "* ]] || fail "title row: $(row 2)"
[[ "$(row 10)" == "│  [1] or [R] Races"* ]] || [[ "$(row 10)" == ?"  [1] or [R] Races"* ]] || fail "row 10: $(row 10)"
[[ "${screen}" == *"[2] or [C] Classes"* ]] || fail "right column"
[[ "$(row 20)" == *"[X] Exit"* ]] || fail "row 20: $(row 20)"
[[ "$(row 49)" == *"ZLib "* ]] || fail "row 49: $(row 49)"
line12=$(row 12)
prefix=${line12%%"[5] or [I] Items"*}
[[ ${#prefix} == 3 ]] || fail "items entry at column $(( ${#prefix} + 1 ))"

# Colours: the key digit in light blue (SGR 94), the label in blue (34).
colours=$(tmux -S "$sock" capture-pane -p -e -t e2e | sed -n 10p)
[[ "$colours" == *$'\e[94m1'* || "$colours" == *$'94m1'* ]] || fail "key colour: $(cat -v <<<"$colours")"
[[ "$colours" == *"34mRaces"* || "$colours" == *"34m Races"* ]] || fail "label colour: $(cat -v <<<"$colours")"

# Keys without an action keep the menu; an arrow's scan code is no menu letter.
tmux -S "$sock" send-keys -t e2e u Right
sleep 0.3
tmux -S "$sock" capture-pane -p -t e2e | grep -qF "[1] or [R] Races" || fail "menu left on u/Right"

tmux -S "$sock" send-keys -t e2e q
wait_for "exit=0"
after=$(tmux -S "$sock" capture-pane -p -t e2e)
[[ "$after" == *"TORVEX - Dunmarrow Viewer for Win32"* ]] || fail "farewell box missing"
[[ "$after" != *"[1] or [R] Races"* ]] || fail "alternate screen not left"
wait_for "modes-saved" 5
cmp -s before.txt after.txt || fail "terminal modes differ: $(diff before.txt after.txt)"

# The first run wrote the preferences where a Linux program keeps them.
ini="$XDG_CONFIG_HOME/torvex/torvex.ini"
[[ -f "$ini" ]] || fail "no ini file at $ini"
grep -qi '^IniDataVersion=1' "$ini" || fail "IniDataVersion not written"
grep -qi '^GotoSections=' "$ini" || fail "goto sections not written"

# SIGTERM while the program waits: the terminal comes back the same, and the
# preferences are still saved on the way out.
rm -f "$ini"
tmux -S "$sock" send-keys -t e2e "clear; $torvex; echo term-exit=\$?; stty -a > after-term.txt" Enter
wait_for "[Startup Check]"
pkill -TERM -f "^$torvex\$" || fail "no torvex process to signal"
wait_for "term-exit=0" 10
sleep 0.5
cmp -s before.txt after-term.txt || fail "modes after SIGTERM: $(diff before.txt after-term.txt)"
grep -qi '^IniDataVersion=1' "$ini" || fail "preferences not saved after SIGTERM"

# A crash signal: the terminal is restored before the process dies.
tmux -S "$sock" send-keys -t e2e "clear; $torvex; echo crash-exit=\$?; stty -a > after-crash.txt" Enter
wait_for "[Startup Check]"
pkill -SEGV -f "^$torvex\$" || fail "no torvex process to signal"
wait_for "crash-exit=" 20
sleep 0.5
tmux -S "$sock" capture-pane -p -t e2e | grep -q "crash-exit=0" && fail "a crash reported success"
cmp -s before.txt after-crash.txt || fail "modes after SIGSEGV: $(diff before.txt after-crash.txt)"

echo "torvex e2e: all checks passed"
