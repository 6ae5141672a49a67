#!/usr/bin/env bash
# Drives the real torvex binary through a walk of the demo world: /ROOMSIM
# creates a character (race, class, the character sheet) and starts in the
# first room of the file; the walk looks, shows the status, takes a map change,
# a toll, a text exit and a cast exit, uses GOTO and MAP, and leaves. Then the
# room browser's Ctrl+S walks from the room shown and the browser lands on the
# room where that walk ended.
set -euo pipefail
torvex=$1
world_build=$2
quendex=$3
world_sources=$4
goto_sections=$5
source "$(dirname "$0")/tmux_session.sh"

build_demo "$world_build" "$quendex" "$world_sources"
cat "$goto_sections" >> "$work/torvex.ini"

# say <line> <text expected after it>
say() {
  keys "$1" Enter
  wait_for "$2"
}

start_session
keys "TORVEX_SEED=99 $torvex $work/torvex.ini /ROOMSIM; echo \"exit=\$?\"" Enter
wait_for "Please choose your race"
say 1 "Please choose your class"
keys 2 Enter
# The character sheet: Esc keeps the race's starting stats.
wait_for "Character Creation"
keys Escape
wait_for "Foot of the Cave Mouth"
wait_for "Obvious exits: south, east, southeast, up (map:1)."

say "clear" "Your command had no effect."
say "look" "Daylight glimmers far above."
say "st" "Lives/CP:      9/"
keys "u" Enter
settle
screen | grep -q "\[HP=" || fail "no prompt after the map change"

say "goto fair-gate" "Lanternfair Gate"
say "s" "North Gate of Ostrelle"
say "teleport 2133 1" "(toll:5 gold crowns)"
say "e" "You just paid 5 gold in toll charges."
say "teleport 2158 1" "Black Pool"
keys "enter pool" Enter
settle
screen | grep -q "Black Pool" || fail "the typed exit words were not taken"
say "goto nowhere-at-all" "There is no GOTO location named nowhere-at-all!"
say "teleport 99 4" "Map 4 Room 99 does not exist!"
say "teleport 42 4" "Puppet Booth"
say "w" "Conjurer's Stage"
say "map" "Execute MAP HELP for a small explanation of symbols and help."
screen | grep -qF "T-I-H-\$-\$-T-S" || fail "the overhead map of the fair is not drawn"
say "x" "[5] or [I] Items"

# The room browser walks from the room it shows and comes back to where the
# walk ended.
keys 8
wait_for "Room"
settle
keys g
wait_for "Goto Room"
keys C-x "44/4" Enter
wait_for "Lanternfair Gate"
keys C-s
wait_for "[HP="
say "s" "North Gate of Ostrelle"
keys x Enter
wait_for "Room #     : 2100"
keys q
wait_for "[5] or [I] Items"
keys q
wait_for "exit=0"

echo "walker e2e: all checks passed"
