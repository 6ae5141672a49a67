#!/usr/bin/env bash
# Drives the real torvex binary through the item browser in an 80x50 tmux
# session: menu, 5, next, jump, search, extended viewer, back, a bookmark, quit;
# the bookmark reaches the ini file.
set -euo pipefail
torvex=$1
make_items=$2
source "$(dirname "$0")/tmux_session.sh"

mkdir -p "$work/data"
"$make_items" "$work/data"
cat > "$work/torvex.ini" <<INI
[Options]
DataDirectory=$work/data/
StartupCheck=0
StartMaximized=0
INI

row() { screen | sed -n "$1p"; }

start_session
keys "$torvex $work/torvex.ini; echo \"exit=\$?\"" Enter

wait_for "[5] or [I] Items"
keys 5
wait_for "Rusty Dagger"
[[ "$(row 2)" == *"Item #"*": 1 "* ]] || fail "item number row: $(row 2)"
[[ "$(row 9)" == *"10 gold"* ]] || fail "cost row: $(row 9)"
[[ "$(row 13)" == *"[PoofOnDeath] [CanGet] [CanDrop]"* ]] || fail "flags row: $(row 13)"
[[ "$(row 18)" == *"A short blade, pitted with rust."* ]] || fail "description row: $(row 18)"

keys '>'
wait_for "Oak Staff"

keys g
wait_for "[Goto Item]"
keys 10 Enter
wait_for "Glass Orb"

keys S
wait_for "[Search Items]"
keys Enter
wait_for "Enter text to search for"
keys ring Enter
wait_for "Silver Ring"

keys E
wait_for "[Extended]"
[[ "$(row 3)" == *"Silver Ring"* ]] || fail "extended name row: $(row 3)"
keys '<'
wait_for "Glass Orb"
keys q
wait_for "(A) Flags"
[[ "$(row 3)" == *"Glass Orb"* ]] || fail "main viewer not on the extended viewer's record: $(row 3)"

# A bookmark on F1, then past the end: the error box, and the item stays.
keys C-F1 L '>'
wait_for "[Error]"
keys Space
sleep 0.3
[[ "$(row 3)" == *"Silver Ring"* ]] || fail "last item not kept after end of file: $(row 3)"
keys F1
wait_for "Glass Orb"

keys q
wait_for "[5] or [I] Items"
keys q
wait_for "exit=0"
grep -qi '^itemsmacro0=10' "$work/torvex.ini" || fail "bookmark not saved: $(grep -i itemsmacro0 "$work/torvex.ini")"

echo "item browser e2e: all checks passed"
