# Shared by the end-to-end scripts: a private copy of the run directory, the game started in it,
# waits bounded by a deadline (never a fixed sleep), and checks that name what went wrong.
# Needs: RUN_DIR (the built run directory), TOOLS_DIR (where xclose is), a DISPLAY.
set -u
: "${RUN_DIR:?set RUN_DIR to the run directory}" "${TOOLS_DIR:?set TOOLS_DIR to where xclose is}" \
  "${DISPLAY:?needs a display}"
export ALSOFT_DRIVERS=null

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
# In a sanitizer build the game's leak check stays off unless E2E_DETECT_LEAKS=1: the program
# unloads the graphics driver before the check runs, and the driver's leftovers then come from
# an unknown module that no suppression can name (test programs keep their libraries loaded).
start_game() {
  local dir=$1; shift
  (cd "$dir" && ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=${E2E_DETECT_LEAKS:-0}" exec ./velmora --Window="${GAME_WINDOW:-640x360}" "$@" >"$dir/stdout" 2>"$dir/stderr") &
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

# plays_to_conversation WHAT SHOT: the game reaches its opening conversation (captured into SHOT),
# then closes with status 0.
plays_to_conversation() {
  if wait_for 20 window_open && window_geometry && wait_screen 40 "$2" dialogue_shown; then
    pass "$1: the game plays on to its opening conversation"
  else
    fail "$1: no opening conversation on screen"
  fi
  close_game
  expect_status 0 "$1"
}

expect_status() { [ "$game_status" = "$1" ] && pass "$2: status $1" || fail "$2: status $game_status, expected $1"; }
expect_line() {  # FILE LINE WHAT
  grep -qxF -- "$2" "$1" && pass "$3: \"$2\"" || { fail "$3: no line \"$2\" in $(basename "$1")"; sed 's/^/    | /' "$1" | head -20; }
}
expect_text() {  # FILE TEXT WHAT
  grep -qF -- "$2" "$1" && pass "$3: \"$2\"" || { fail "$3: no \"$2\" in $(basename "$1")"; sed 's/^/    | /' "$1" | head -20; }
}

# ---- the screen: scene coordinates (1920 x 1080) mapped onto the game's window ----

# window_geometry: sets win_x, win_y, win_w, win_h from the game's window (false if none).
window_geometry() {
  local id WINDOW X Y WIDTH HEIGHT SCREEN
  id=$(xdotool search --name '^Velmora$' 2>/dev/null | head -1)
  [ -n "$id" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)"
  [ -n "${WIDTH:-}" ] || return 1
  win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
}

# screen_x SX, screen_y SY: the display pixel showing a scene coordinate.
screen_x() { echo $((win_x + $1 * win_w / 1920)); }
screen_y() { echo $((win_y + $1 * win_h / 1080)); }

# point_at SX SY: the pointer to a scene position (inside the window, so the game gets input).
point_at() { window_geometry && xdotool mousemove "$(screen_x "$1")" "$(screen_y "$2")"; }

# click_at SX SY [BUTTON]: a press and release at a scene position (1 left, 3 right).
click_at() { point_at "$1" "$2"; xdotool click "${3:-1}"; }

# capture FILE: what the window shows now, as a picture of the window's size. The geometry is
# read again each time: a window placed after it appeared must not be captured at its first place.
capture() {
  window_geometry || return 1
  import -silent -window root -crop "${win_w}x${win_h}+${win_x}+${win_y}" +repage "$1" 2>/dev/null
}

# crop_args SX SY SW SH: an imagemagick crop of a scene rectangle in a captured picture.
crop_args() {
  echo "$(($3 * win_w / 1920))x$(($4 * win_h / 1080))+$(($1 * win_w / 1920))+$(($2 * win_h / 1080))"
}

# mean_rgb FILE SX SY SW SH: the mean colour of a scene rectangle, "R G B" in 0..255.
mean_rgb() {
  convert "$1" -crop "$(crop_args "$2" "$3" "$4" "$5")" +repage -scale '1x1!' \
    -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info: 2>/dev/null
}

# lit_share FILE SX SY SW SH: per mille of the rectangle's pixels brighter than near-black.
lit_share() {
  convert "$1" -crop "$(crop_args "$2" "$3" "$4" "$5")" +repage -colorspace gray \
    -threshold 12% -format '%[fx:int(1000*mean+0.5)]' info: 2>/dev/null
}

# white_share FILE SX SY SW SH: per mille of the rectangle's pixels that are near white.
white_share() {
  convert "$1" -crop "$(crop_args "$2" "$3" "$4" "$5")" +repage -colorspace gray \
    -threshold 85% -format '%[fx:int(1000*mean+0.5)]' info: 2>/dev/null
}

# The game's own screens, as a capture FILE shows them: the opening conversation's red box at
# the bottom, and the pause screen's white words in the middle (the rest dimmed).
dialogue_shown() {
  local r g b
  read -r r g b <<<"$(mean_rgb "$1" 1200 990 400 50)"
  [ "${r:-0}" -gt 140 ] && [ "${g:-255}" -lt 70 ] && [ "${b:-255}" -lt 70 ]
}
paused_shown() { [ "$(white_share "$1" 760 390 400 110)" -gt 80 ]; }
unpaused() { [ "$(white_share "$1" 760 390 400 110)" -lt 20 ]; }

# The credits: something lit in the middle column (rope, bunny), dark at the sides.
credits_shown() { [ "$(lit_share "$1" 760 0 400 1080)" -gt 20 ] && [ "$(lit_share "$1" 0 0 500 1080)" -lt 5 ]; }

# The life bar (red, at 20, 20) and the run bar (yellow, at 20, 113), drawn over the fog.
bars_shown() {
  local r g b
  read -r r g b <<<"$(mean_rgb "$1" 40 30 300 70)"
  [ "${r:-0}" -gt 140 ] && [ "${g:-255}" -lt 110 ] && [ "${b:-255}" -lt 110 ] || return 1
  read -r r g b <<<"$(mean_rgb "$1" 25 125 100 40)"
  [ "${r:-0}" -gt 150 ] && [ "${g:-0}" -gt 120 ] && [ "${b:-255}" -lt 110 ]
}

# The title: the first item's yellow frame and words in the menu's column, and the white help
# line at the bottom (the credits' lettering, yellowish too, never stands in both places at once).
yellow_share() {
  convert "$1" -crop "$(crop_args "$2" "$3" "$4" "$5")" +repage -fuzz 8% -fill white -opaque 'rgb(255,220,40)' \
    -fill black +opaque white -colorspace gray -format '%[fx:int(1000*mean+0.5)]' info: 2>/dev/null
}
title_shown() { [ "$(yellow_share "$1" 590 420 740 104)" -gt 15 ] && [ "$(white_share "$1" 400 978 1120 36)" -gt 15 ]; }

# leave_game SECONDS: Escape from play asks first (its question over the paused game), Escape
# again goes to the title, Escape on the title quits; waits for the end as finish_game does.
leave_game() {
  xdotool key Escape
  wait_screen 15 "$work/leave-asked.png" paused_shown || fail "Escape from play did not ask first"
  xdotool key Escape
  wait_screen 15 "$work/left-to-title.png" title_shown || fail "Escape from play did not show the title"
  xdotool key Escape
  finish_game "$1"
}

# changed_share FILE1 FILE2 SX SY SW SH: per mille of the rectangle's pixels that differ
# clearly between two captures.
changed_share() {
  local crop total diff
  crop=$(crop_args "$3" "$4" "$5" "$6")
  total=$(($5 * win_w / 1920 * ($6 * win_h / 1080)))
  convert "$1" -crop "$crop" +repage "$work/changed-a.png" 2>/dev/null
  convert "$2" -crop "$crop" +repage "$work/changed-b.png" 2>/dev/null
  # AE may come in exponent form (2.5e+05).
  diff=$(compare -metric AE -fuzz 15% "$work/changed-a.png" "$work/changed-b.png" null: 2>&1 |
    awk '{ printf "%d", $1 + 0 }')
  echo $((${diff:-0} * 1000 / total))
}

# wait_screen SECONDS FILE TEST ARGS...: captures into FILE until TEST FILE ARGS... succeeds.
# The time is counted on the clock: a capture can take a second on a busy machine.
wait_screen() {
  local end=$((SECONDS + $1)) file=$2; shift 2
  while :; do
    capture "$file" && "$@" "$file" && return 0
    [ $SECONDS -lt $end ] || return 1
    sleep 0.25
  done
}

# ---- user data ----

# write_user_data DIR TEXT: DIR/data.vrk holding TEXT, scrambled as the game stores it.
write_user_data() {
  printf '%s\n' "$2" >"$1/user-data.txt"
  "$1/tavric" scramble "$1/user-data.txt" >"$1/data.vrk"
}

# user_value DIR ADDRESS [TYPE]: a value of DIR/data.vrk, read through the tavric tool.
user_value() {
  "$1/tavric" unscramble "$1/data.vrk" >"$1/user-data.out" 2>/dev/null || return 1
  if [ $# -ge 3 ]; then "$1/tavric" get "$1/user-data.out" "$2" --as "$3"; else "$1/tavric" get "$1/user-data.out" "$2"; fi
}

summary() {
  if [ "$failures" -eq 0 ]; then echo "all checks passed"; else echo "$failures check(s) failed"; fi
  [ "$failures" -eq 0 ]
}
