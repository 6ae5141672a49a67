# Shared by the end-to-end scripts: a scratch home, an 80x50 tmux session on a
# private socket running a plain shell, and helpers to read and drive it.
# Source it; it sets `work` (the current directory from then on) and `sock`.
export LC_ALL=C.UTF-8
command -v tmux >/dev/null || { echo "tmux missing"; exit 1; }

work=$(mktemp -d)
sock="$work/tmux.sock"
cleanup() { tmux -S "$sock" kill-server 2>/dev/null || true; sleep 0.2; rm -rf "$work" 2>/dev/null || true; }
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" HOME="$work"
cd "$work"

screen() { tmux -S "$sock" capture-pane -p -t e2e; }
keys() { tmux -S "$sock" send-keys -t e2e "$@"; }
fail() { echo "FAIL: $*"; echo "--- screen:"; screen || true; exit 1; }
wait_for() {  # wait_for <text> [seconds]
  local deadline=$((SECONDS + ${2:-10}))
  while ((SECONDS < deadline)); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  fail "did not see: $1"
}

# A shell in the pane, so that the pane outlives the program and shows what it left.
start_session() {
  tmux -S "$sock" -f /dev/null new-session -d -s e2e -x 80 -y 50 \
    "env LANG=C.UTF-8 LC_ALL=C.UTF-8 PS1='$ ' bash --norc --noprofile"
  tmux -S "$sock" set -g status off
}

# build_demo <world_build> <quendex> <world sources>: the demo world in
# $work/demo and $work/torvex.ini pointing at it, without the start-up check.
build_demo() {
  mkdir -p "$work/demo"
  "$1" "$3" "$work/demo" >/dev/null
  (cd "$work/demo" && "$2" >/dev/null)
  cat > "$work/torvex.ini" <<INI
[Options]
DataDirectory=$work/demo/
StartupCheck=0
StartMaximized=0
UseDATFiles=0
INI
}

# gone <text>: waits until <text> is no longer on the screen.
gone() {
  local deadline=$((SECONDS + 10))
  while ((SECONDS < deadline)); do
    screen | grep -qF -- "$1" || return 0
    sleep 0.1
  done
  fail "still shown: $1"
}

# settle: waits until the screen stops changing (two captures 0.2 s apart
# agree), so that a screen caught half-drawn is not read.
settle() {
  local deadline=$((SECONDS + 10)) before now
  before=$(screen)
  while ((SECONDS < deadline)); do
    sleep 0.2
    now=$(screen)
    [[ "$now" == "$before" ]] && return 0
    before=$now
  done
  fail "the screen kept changing"
}
