# Shared by the end-to-end scripts: a private copy of the run directory, the game started in it,
# waits bounded by a deadline (never a fixed sleep), and checks that name what went wrong.
# Needs: RUN_DIR (the built run directory), TOOLS_DIR (where xclose is), a DISPLAY.
set -u

failures=0
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e.XXXXXX")
trap 'pkill -P $$ 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# fresh_run NAME: a copy of the run directory to break one thing in; prints its path.
fresh_run() {
  local dir="$work/$1"
  rm -rf "$dir"
  cp -r "$RUN_DIR" "$dir"
  rm -f "$dir/data.vrk"
  echo "$dir"
}

# wait_for SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds or time runs out.
wait_for() {
  local tries=$(($1 * 10)); shift
  while [ $tries -gt 0 ]; do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

window_open() { xdotool search --name '^Velmora$' >/dev/null 2>&1; }

# start_game DIR ARGS...: starts velmora in DIR in the background; sets game_pid.
start_game() {
  local dir=$1; shift
  (cd "$dir" && exec ./velmora --Window=640x360 "$@" >"$dir/stdout" 2>"$dir/stderr") &
  game_pid=$!
}

# finish_game SECONDS: waits for the game to end by itself; sets game_status (124 on timeout).
finish_game() {
  local tries=$(($1 * 10))
  while kill -0 "$game_pid" 2>/dev/null && [ $tries -gt 0 ]; do
    sleep 0.1
    tries=$((tries - 1))
  done
  if kill -0 "$game_pid" 2>/dev/null; then
    kill -9 "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_status=124
  else
    wait "$game_pid"
    game_status=$?
  fi
}

# close_game: asks the window to close as a window manager would, then waits for the exit.
close_game() {
  wait_for 20 window_open || { fail "no window appeared"; finish_game 1; return; }
  "$TOOLS_DIR/xclose" Velmora >/dev/null 2>&1
  finish_game 20
}

expect_status() { [ "$game_status" = "$1" ] && pass "$2: status $1" || fail "$2: status $game_status, expected $1"; }
expect_line() {  # FILE LINE WHAT
  grep -qxF -- "$2" "$1" && pass "$3: \"$2\"" || { fail "$3: no line \"$2\" in $(basename "$1")"; sed 's/^/    | /' "$1" | head -20; }
}
expect_text() {  # FILE TEXT WHAT
  grep -qF -- "$2" "$1" && pass "$3: \"$2\"" || { fail "$3: no \"$2\" in $(basename "$1")"; sed 's/^/    | /' "$1" | head -20; }
}
