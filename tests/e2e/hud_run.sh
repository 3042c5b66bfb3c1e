#!/usr/bin/env bash
# The HUD, the pause and the settings as a player sees them, in the real game under Xvfb: the
# hunters' count and the objective after the conversation, P dimming the game under "Paused"
# and giving it back, the volume indicator, F11 to fullscreen and back. Then the settings
# survive a restart: the next run opens the remembered window (not fullscreen) and reads the
# volume, and --Keys=azerty is written for good.
# Needs RUN_DIR, TOOLS_DIR and a DISPLAY (Xvfb); E2E_SHOTS keeps the captures in that folder.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
export GAME_WINDOW=960x540
shots=${E2E_SHOTS:-$work/shots}
mkdir -p "$shots"

# gray FILE SX SY SW SH: the mean brightness of a rectangle, 0..255.
gray() {
  convert "$1" -crop "$(crop_args "$2" "$3" "$4" "$5")" +repage -colorspace gray -scale '1x1!' \
    -format '%[fx:int(255*mean+0.5)]' info: 2>/dev/null
}

# "Hunters 12/12" at the top right, and the objective's line under it.
hunters_shown() { [ "$(white_share "$1" 1500 24 400 50)" -gt 40 ]; }
objective_shown() { [ "$(white_share "$1" 1100 84 800 40)" -gt 40 ]; }
# The volume's ten cells at the top centre, nine of them white after F2.
indicator_shown() { [ "$(white_share "$1" 760 245 400 22)" -gt 300 ]; }
geometry_is() { window_geometry && [ "$win_w" = "$1" ] && [ "$win_h" = "$2" ]; }

dir=$(fresh_run hud)
start_game "$dir" --StartState=ingame
wait_for 20 window_open && window_geometry || { fail "no game window"; finish_game 1; summary; exit; }
point_at 1700 300

if wait_screen 20 "$shots/hud-talk.png" dialogue_shown; then
  xdotool key Tab
  # The help line waits for a click after Tab.
  for i in 1 2 3; do sleep 0.5; click_at 1700 300; done
  if wait_screen 10 "$shots/hud.png" objective_shown; then pass "the objective shows after the conversation"; else
    fail "no objective line after the conversation"
  fi
  hunters_shown "$shots/hud.png" && pass "the hunters' count shows" || fail "no hunters' count at the top right"
else
  fail "the conversation never started"
fi

capture "$shots/playing.png"
xdotool key p
if wait_screen 5 "$shots/paused.png" paused_shown; then
  before=$(gray "$shots/playing.png" 0 700 1920 300)
  after=$(gray "$shots/paused.png" 0 700 1920 300)
  [ "$after" -lt $((before * 7 / 10 + 1)) ] && pass "P dims the game under \"Paused\" ($before to $after)" ||
    fail "the pause does not dim the game ($before to $after)"
else
  fail "P shows no pause screen"
fi
xdotool key p
wait_screen 5 "$shots/resumed.png" unpaused && pass "P again resumes" || fail "the pause screen stays after P"

xdotool key F2
wait_screen 3 "$shots/volume.png" indicator_shown && pass "F2 shows the volume" || fail "no volume indicator after F2"

read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"
xdotool key F11
wait_for 10 geometry_is "$screen_w" "$screen_h" && pass "F11 goes fullscreen (${screen_w}x$screen_h)" ||
  fail "F11: the window is ${win_w}x$win_h, not ${screen_w}x$screen_h"
point_at 1700 300
xdotool key F11
wait_for 10 geometry_is 960 540 && pass "F11 again gives the window back" || fail "F11 again: ${win_w}x$win_h"
point_at 1700 300
leave_game 15
expect_status 0 "leaving after the settings changed"
[ "$(user_value "$dir" Settings.MusicVolume)" = 90 ] && pass "data.vrk keeps the music volume" ||
  fail "data.vrk: Settings.MusicVolume is '$(user_value "$dir" Settings.MusicVolume)'"
[ "$(user_value "$dir" Settings.Fullscreen)" = 0 ] && pass "data.vrk keeps the windowed choice" ||
  fail "data.vrk: Settings.Fullscreen is '$(user_value "$dir" Settings.Fullscreen)'"

# The next run, without --Window: the remembered window, not fullscreen, and --Keys=azerty.
(cd "$dir" && exec ./velmora --StartState=ingame --Keys=azerty >"$dir/stdout" 2>"$dir/stderr") &
game_pid=$!
wait_for 20 window_open || fail "no window on the second run"
wait_for 10 geometry_is 1280 720 && pass "the second run opens the remembered 1280x720 window" ||
  fail "the second run's window is ${win_w}x$win_h"
point_at 1700 300
leave_game 15
expect_status 0 "the second run"
[ "$(user_value "$dir" Keys.Up)" = Z ] && pass "--Keys=azerty is written: Up is Z" ||
  fail "data.vrk: Keys.Up is '$(user_value "$dir" Keys.Up)'"
[ "$(user_value "$dir" Settings.MusicVolume)" = 90 ] && pass "the volume survived the second run" ||
  fail "the second run lost the volume"

summary
