#!/usr/bin/env bash
# Makes the README's screenshots from the real game: docs/screenshots/credits.png, title-en.png,
# conversation.png, fog.png, hud.png and pause.png, then title-fr.png and options-en.png,
# options-fr.png (the title's Options). Usage: tools/screenshots.sh [BUILD_DIR] (default build).
# The game plays in a 1920x1080 window on a virtual display (its own Xvfb unless DISPLAY is
# set), driven with xdotool; each picture is taken once the screen shows the moment wanted.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/${1:-build}
export RUN_DIR=$build/run TOOLS_DIR=$build/tools/xclose
for need in "$RUN_DIR/velmora" "$RUN_DIR/lev/config.tvr" "$TOOLS_DIR/xclose"; do
  [ -e "$need" ] || { echo "screenshots: $need is missing: build first (tools/build.sh ${1:-build})" >&2; exit 1; }
done
out=$top/docs/screenshots
mkdir -p "$out"

. "$top/tools/xvfb.sh"
start_xvfb

set +eu
. "$top/tests/e2e/common.sh"
trap 'pkill -P $$ 2>/dev/null; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
export ALSOFT_DRIVERS=null GAME_WINDOW=1920x1080

# keep NAME FILE: the capture, at half size, as docs/screenshots/NAME.png.
keep() { convert "$2" -resize 960x540 -strip "$out/$1.png" && echo "screenshots: wrote docs/screenshots/$1.png"; }

# still FILE REGION...: the region shows the same picture as in the previous capture.
previous=$work/previous.png
still() {
  local same=1
  [ -f "$previous" ] && [ "$(changed_share "$previous" "$1" "${@:2}")" -lt 3 ] && same=0
  cp "$1" "$previous"
  return $same
}

# The credits once the title rises under the bunny (clean frames, before the wash to white).
# The title is wider than the swaying rope: look for it on both sides of the rope's reach, and
# wait until it has risen whole above the bottom edge.
credits_title() {
  [ "$(lit_share "$1" 560 400 220 600)" -gt 30 ] && [ "$(lit_share "$1" 1140 400 220 600)" -gt 30 ] &&
    [ "$(lit_share "$1" 0 0 400 1080)" -lt 5 ] && [ "$(lit_share "$1" 400 1040 1120 40)" -lt 5 ]
}
# The first line of the conversation typed out under its portrait (the cursor spins elsewhere).
conversation_ready() {
  local r g b
  read -r r g b <<<"$(mean_rgb "$1" 1200 990 400 50)"
  [ "${r:-0}" -gt 140 ] && [ "${g:-255}" -lt 70 ] && still "$1" 0 850 1000 230
}
# White help lines in the message log once the conversation is over: the lowest line, below
# where the (white) dialogue text can reach.
log_shown() {
  [ "$(convert "$1" -crop 900x42+20+1024 +repage -colorspace gray -threshold 80% \
       -format '%[fx:int(1000*mean+0.5)]' info:)" -gt 25 ]
}

dir=$(fresh_run screenshots)
start_game "$dir"
wait_for 20 window_open && window_geometry || { echo "screenshots: no game window" >&2; exit 1; }
point_at 1700 200
status=0

rm -f "$previous"
if wait_screen 30 "$work/credits.png" credits_title; then keep credits "$work/credits.png"; else
  echo "screenshots: no credits' title on screen" >&2; status=1
fi
xdotool key Return

# The title, its first item lit (no level reached yet: New game); the pointer off the menu.
rm -f "$previous"
title_ready() { title_shown "$1" && still "$1" 0 0 1920 1080; }
if wait_screen 20 "$work/title-en.png" title_ready; then keep title-en "$work/title-en.png"; else
  echo "screenshots: no title on screen" >&2; status=1
fi
xdotool key Return

point_at 1800 700
rm -f "$previous"
if wait_screen 40 "$work/conversation.png" conversation_ready; then keep conversation "$work/conversation.png"; else
  echo "screenshots: no conversation on screen" >&2; status=1
fi

# Click through the conversation, then turn the light up and to the left of the room and walk
# a few steps toward it.
shown=no
for i in $(seq 1 150); do
  click_at 1800 700
  sleep 0.12
  if [ $((i % 4)) -eq 0 ]; then
    capture "$work/talk.png"
    if log_shown "$work/talk.png"; then shown=yes; break; fi
  fi
done
# The help line waits for a click once its words and the help lines are shown; the box then folds.
click_at 1800 700
sleep 1.5
point_at 520 240
xdotool keydown a; sleep 0.6; xdotool keyup a
rm -f "$previous"
settled() { still "$1" 200 300 1500 500; }
wait_screen 5 "$work/fog.png" settled
if [ $shown = yes ] && [ "$(lit_share "$work/fog.png" 1300 700 400 300)" -lt 20 ]; then
  keep fog "$work/fog.png"
else
  echo "screenshots: could not reach play under the fog (conversation over: $shown)" >&2; status=1
fi

# The HUD with the cursor turned to analyse, then the pause screen over it.
hud_ready() { [ "$(white_share "$1" 1100 84 800 40)" -gt 40 ] && still "$1" 200 300 1500 500; }
click_at 520 240 3
rm -f "$previous"
if wait_screen 5 "$work/hud.png" hud_ready; then keep hud "$work/hud.png"; else
  echo "screenshots: no HUD with the objective on screen" >&2; status=1
fi
xdotool key p
if wait_screen 5 "$work/pause.png" paused_shown; then keep pause "$work/pause.png"; else
  echo "screenshots: no pause screen" >&2; status=1
fi
xdotool key p

leave_game 15
if [ $status -ne 0 ]; then
  echo "screenshots: the game ended with status $game_status; its output:" >&2
  cat "$dir/stdout" "$dir/stderr" | sed 's/^/    | /' >&2
fi

# The title in French, then the options screen from its Options (the second item) in each language.
options_ready() { ! title_shown "$1" && still "$1" 0 0 1920 1080; }
for language in en fr; do
  dir=$(fresh_run "screenshots-$language")
  if [ $language = fr ]; then start_game "$dir" --StartState=title --Language=Fr; else start_game "$dir" --StartState=title; fi
  wait_for 20 window_open && window_geometry || { echo "screenshots: no game window ($language)" >&2; exit 1; }
  point_at 1800 1050
  rm -f "$previous"
  if [ $language = fr ]; then
    if wait_screen 20 "$work/title-fr.png" title_ready; then keep title-fr "$work/title-fr.png"; else
      echo "screenshots: no French title on screen" >&2; status=1
    fi
  else
    wait_screen 20 "$work/title-$language.png" title_shown
  fi
  xdotool key Down Return
  rm -f "$previous"
  if wait_screen 10 "$work/options-$language.png" options_ready; then keep "options-$language" "$work/options-$language.png"; else
    echo "screenshots: no options screen ($language)" >&2; status=1
  fi
  xdotool key Escape Escape
  finish_game 15
done
exit $status
