#!/usr/bin/env bash
# The game started fullscreen on a display without a window manager (Xvfb alone), which tells
# every new window that it lost the focus as it opens: with and without the credits first, the
# game is not paused until the pause key, or a focus loss after the window had the focus, pauses
# it; F11 leaves it as it was. Then a run without a sound device: one line says sound is off,
# and standard error stays small.
# Needs RUN_DIR, TOOLS_DIR and a DISPLAY (Xvfb, no window manager).
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

# The opening conversation comes 51 played steps after the start: it shows only if the game is
# not paused.
fullscreen() { window_geometry && [ "$win_w" = "$screen_w" ] && [ "$win_h" = "$screen_h" ]; }
windowed() { window_geometry && [ "$win_w" != "$screen_w" ]; }

read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"
root=$(xdotool search --maxdepth 0 --name '' 2>/dev/null | head -1)

# start_fullscreen DIR ARGS...: the game as a player starts it, fullscreen by default.
start_fullscreen() {
  local dir=$1; shift
  (cd "$dir" && exec ./velmora "$@" >"$dir/stdout" 2>"$dir/stderr") &
  game_pid=$!
}

for start in ingame credit; do
  dir=$(fresh_run "start-$start")
  xdotool mousemove 1700 300
  start_fullscreen "$dir" --StartState=$start
  wait_for 20 window_open && wait_for 10 fullscreen || { fail "$start: no fullscreen window"; finish_game 1; continue; }
  id=$(xdotool search --name '^Velmora$' | head -1)
  # The credits end by themselves (about ten seconds) on the title, where Return starts a game.
  if [ "$start" = credit ]; then
    wait_screen 30 "$work/$start-title.png" title_shown || fail "$start: no title after the credits"
    xdotool key Return
  fi
  if wait_screen 40 "$work/$start-talk.png" dialogue_shown && unpaused "$work/$start-talk.png"; then
    pass "$start: the game runs from its start, not paused"
  else
    fail "$start: the game opened paused (no conversation, or the pause screen)"
  fi
  xdotool key p
  wait_screen 10 "$work/$start-p.png" paused_shown && pass "$start: the pause key pauses" || fail "$start: P shows no pause"
  xdotool key p
  wait_screen 10 "$work/$start-resumed.png" unpaused && pass "$start: the pause key resumes" ||
    fail "$start: the pause stays after P"

  # F11 makes a new window, which is told it lost the focus: the game goes on.
  xdotool key F11
  if wait_for 10 windowed; then
    capture "$work/$start-f11.png"
    xdotool key F11
    wait_for 10 fullscreen
    point_at 1700 300
    if wait_screen 3 "$work/$start-f11-back.png" paused_shown; then
      fail "$start: F11 and back left the game paused"
    else
      unpaused "$work/$start-f11.png" && pass "$start: F11 and back leave the game running" ||
        fail "$start: the windowed game showed the pause"
    fi
  else
    fail "$start: F11 gave no window"
  fi

  # The window has the focus, then loses it to the root window: that pauses.
  id=$(xdotool search --name '^Velmora$' | head -1)
  xdotool windowfocus --sync "$id" 2>/dev/null
  capture "$work/$start-focused.png"
  unpaused "$work/$start-focused.png" && pass "$start: gaining the focus does not pause" ||
    fail "$start: gaining the focus paused"
  xdotool windowfocus "$root" 2>/dev/null
  wait_screen 10 "$work/$start-lost.png" paused_shown && pass "$start: losing the focus after having it pauses" ||
    fail "$start: a focus loss after a gain did not pause"

  xdotool windowfocus --sync "$id" 2>/dev/null
  leave_game 15
  expect_status 0 "$start: leaving"
done

# No sound device (a driver that does not exist stands for one the machine lacks).
dir=$(fresh_run no-device)
(cd "$dir" && ALSOFT_DRIVERS=no-such-driver exec ./velmora --StartState=ingame --Window=640x360 \
  >"$dir/stdout" 2>"$dir/stderr") &
game_pid=$!
wait_for 20 window_open && window_geometry && point_at 1700 300
# By the conversation the music has been asked to play for seconds.
wait_screen 20 "$work/no-device.png" dialogue_shown || fail "no device: the game did not reach the conversation"
leave_game 15
expect_status 0 "no device"
expect_line "$dir/stderr" "No sound device could be opened: sound and music are off for this run." "no device"
lines=$(grep -c 'sound' "$dir/stderr")
bytes=$(wc -c <"$dir/stderr")
[ "$lines" = 1 ] && [ "$bytes" -lt 1000 ] && pass "no device: $bytes bytes on standard error" ||
  { fail "no device: $bytes bytes, $lines lines about sound on standard error"; head -20 "$dir/stderr"; }

summary
