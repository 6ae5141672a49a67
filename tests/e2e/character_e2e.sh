#!/usr/bin/env bash
# Drives the real torvex binary through a character's first walk on the demo
# world: create it and edit it on the character sheet, take and light a
# lantern, wear a ring and ready a cudgel, sell a cudgel, train a level, and
# find the changes on the status screen.
set -euo pipefail
torvex=$1
world_build=$2
quendex=$3
world_sources=$4
source "$(dirname "$0")/tmux_session.sh"

build_demo "$world_build" "$quendex" "$world_sources"

say() {  # say <line> <text expected after it>
  keys "$1" Enter
  wait_for "$2"
}

start_session
keys "TORVEX_SEED=7 $torvex $work/torvex.ini /ROOMSIM; echo \"exit=\$?\"" Enter
wait_for "Please choose your race"
say 1 "Please choose your class"
keys 1 Enter
wait_for "Character Creation"
# Given name kept, family name typed, strength raised from 40 to 75, a hair
# length chosen with the space bar, the other fields passed, then SAVE.
keys Enter
keys "Vale" Enter
keys BSpace BSpace "75" Enter
for _ in 1 2 3 4 5; do keys Enter; done
keys Space Enter Enter Enter Enter
wait_for "Foot of the Cave Mouth"

say "set char giveitem 44" "Item 44 (Brass Lantern) given to character."
say "light lantern" "You lit the Brass Lantern."
say "set char giveitem 65" "Item 65 (Tarnished Brass Ring) given to character."
say "wear tarnished" "You are now wearing Tarnished Brass Ring."
say "set char giveitem 2" "Item 2 (Oaken Cudgel) given to character."
keys "set char giveitem 2" Enter
say "ready cudgel" "You are now holding Oaken Cudgel."
say "teleport 2102 1" "The Honest Edge"
say "sell cudgel" "You sold Oaken Cudgel for"
say "set char experience 5000" "Character experience changed to 5000."
say "teleport 2112 1" "Warden's Yard"
say "train" "receive training to attain level 2."
say "status" "Level: 2"
screen | grep -q "Name: .* Vale" || fail "the family name typed on the sheet is not on the status screen"
screen | grep -q "Strength:  75" || fail "the strength typed on the sheet is not on the status screen"
say "inventory" "Tarnished Brass Ring (Finger"
say "x" "[5] or [I] Items"
keys q
wait_for "exit=0"
grep -q "RoomRolled=0" "$work/torvex.ini" || fail "the new character was not kept in the ini file"

echo "character e2e: all checks passed"
