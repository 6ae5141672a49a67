#!/usr/bin/env bash
# Drives the real torvex binary through every record browser of the main menu
# on a freshly built demo world, in an 80x50 tmux session: open from the menu
# key, last, jump back to the first record, next, help, search (where there is
# one), back to the menu; then the same browsers from their command-line
# switches.
set -euo pipefail
torvex=$1
world_build=$2
quendex=$3
world_sources=$4
source "$(dirname "$0")/tmux_session.sh"

build_demo "$world_build" "$quendex" "$world_sources"

row() { screen | sed -n "$1p"; }

# The value after the label's colon on row 2 (the record's number or ID).
key_of_record() { row 2 | sed -E 's/^[^:]*:[[:space:]]*([^[:space:]│]+).*/\1/'; }
# Waits until the record key on row 2 is (==) or is not (!=) `value`.
wait_key() {  # wait_key == | != <value> <what>
  local deadline=$((SECONDS + 10))
  while ((SECONDS < deadline)); do
    local now
    now=$(key_of_record)
    if [[ "$1" == "==" && "$now" == "$2" ]] || [[ "$1" == "!=" && -n "$now" && "$now" != "$2" ]]; then
      return 0
    fi
    sleep 0.1
  done
  fail "$3: row 2 shows $(key_of_record)"
}

# menu key | label of row 2 | help title | jump title | search title (- for none) | switch
browsers=(
  "1|Race #|Races Help|Goto Race|Search Races|/RACES"
  "2|Class #|Classes Help|Goto Class|Search Classes|/CLASSES"
  "3|Spell #|Spells Help|Goto Spell|Search Spells|/SPELLS"
  "4|Monster #|Monsters Help|Goto Monster|Search Monsters|/MONSTERS"
  "6|Message #|Messages Help|Goto Message|Search Messages|/MESSAGES"
  "9|Shop #|Shops Help|Goto Shop|Search Shops|/SHOPS"
  "k|Active #|Monsters Help|Goto Active|Search Monsters|/ACTIVE"
  "n|Gang ID|Gangs Help|Goto Gang|-|/GANGS"
  "o|Owner #|Items Help|Goto Item Owner|Search Items Owners|/ITOWNERS"
)

start_session
keys "$torvex $work/torvex.ini; echo \"exit=\$?\"" Enter
wait_for "[5] or [I] Items"

for entry in "${browsers[@]}"; do
  IFS='|' read -r menu label help jump search switch <<<"$entry"
  keys "$menu"
  wait_for "$label"
  settle
  first=$(key_of_record)
  [[ -n "$first" ]] || fail "$label: no record key on row 2"

  keys L
  wait_key != "$first" "$label: L from $first"

  keys g
  wait_for "[$jump]"
  keys C-x "$first" Enter
  wait_key == "$first" "$label: jump to $first"

  keys '>'
  wait_key != "$first" "$label: > from $first"

  keys '?'
  wait_for "[$help]"
  keys Space
  gone "[$help]"

  if [[ "$search" != - ]]; then
    keys S
    wait_for "[$search]"
    keys Escape
    gone "[$search]"
  fi

  keys q
  wait_for "[5] or [I] Items"
done

keys q
wait_for "exit=0"

# Each browser from its switch, straight away; leaving it shows the menu.
for entry in "${browsers[@]}"; do
  IFS='|' read -r menu label help jump search switch <<<"$entry"
  keys clear Enter
  gone "exit=0"
  keys "$torvex $work/torvex.ini $switch; echo \"exit=\$?\"" Enter
  wait_for "$label"
  keys Escape
  wait_for "[5] or [I] Items"
  keys q
  wait_for "exit=0"
done

echo "browsers e2e: all checks passed"
