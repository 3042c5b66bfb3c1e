#!/usr/bin/env bash
# The title as a player meets it: the credits skipped with a key give the title (no Continue on a
# first run), Return starts a new game, Escape from play asks first (another key plays on, Return
# leaves) and comes back to the title having saved, and
# Escape on the title ends the run with status 0 and data.vrk written. A second run, with a level
# reached, offers Continue first; the pointer on Quit ends it.
# Needs RUN_DIR, TOOLS_DIR and a DISPLAY (Xvfb); E2E_SHOTS keeps the captures in that folder.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
export GAME_WINDOW=960x540
shots=${E2E_SHOTS:-$work/shots}
mkdir -p "$shots"

# Four items (no Continue) or five: white words in the last item's place, at 430 + 100 per item.
item_words() { [ "$(white_share "$1" 760 "$2" 400 84)" -gt 20 ]; }
four_items() { item_words "$1" 730 && ! item_words "$1" 830; }
five_items() { item_words "$1" 830; }

dir=$(fresh_run title)
start_game "$dir"
if ! wait_for 20 window_open || ! window_geometry; then
  fail "the game window did not open"; finish_game 1; summary; exit
fi
point_at 1700 1000
wait_screen 15 "$shots/credits.png" credits_shown || fail "no credits on screen"
xdotool key Return
if wait_screen 15 "$shots/title.png" title_shown; then
  pass "a key ends the credits on the title"
  four_items "$shots/title.png" && pass "a first run offers no Continue: four items" ||
    fail "a first run's title does not show four items"
else
  fail "no title after the credits"
fi

xdotool key Return
# Play loads its level first: more time than the screens that only draw.
wait_screen 30 "$shots/new-game.png" bars_shown && pass "Return on New game starts play" ||
  fail "New game did not start play"

xdotool key Escape
wait_screen 15 "$shots/leave-asked.png" paused_shown && pass "Escape from play asks first" ||
  fail "Escape from play did not ask first"
xdotool key w
wait_screen 15 "$shots/leave-declined.png" unpaused && pass "another key goes back to play" ||
  fail "another key did not give play back"
xdotool key Escape
wait_screen 15 "$shots/leave-asked-again.png" paused_shown || fail "Escape from play did not ask again"
xdotool key Return
wait_screen 15 "$shots/back.png" title_shown && pass "Return confirms and goes back to the title" ||
  fail "Escape, Return from play did not show the title"
[ -e "$dir/data.vrk" ] && "$dir/tavric" unscramble "$dir/data.vrk" >/dev/null 2>&1 &&
  pass "leaving play wrote a readable data.vrk" || fail "no readable data.vrk after leaving play"

xdotool key Escape
finish_game 15
expect_status 0 "Escape on the title"
grep -vx 'Setting vertical sync not supported' "$dir/stderr" | grep -q . &&
  fail "unexpected lines on standard error: $(head -3 "$dir/stderr")"

# ---- a level reached: Continue comes first; the pointer's Quit ends the run ----
dir=$(fresh_run continue)
write_user_data "$dir" 'FurthestLevel = 2'
start_game "$dir" --StartState=title
if wait_for 20 window_open && window_geometry && wait_screen 15 "$shots/continue.png" title_shown; then
  five_items "$shots/continue.png" && pass "with a level reached the title offers Continue: five items" ||
    fail "the title does not show five items with a level reached"
else
  fail "--StartState=title: no title"
fi
# Quit, the fifth item: the pointer on it is enough to highlight it, a click chooses it.
click_at 960 870
finish_game 15
expect_status 0 "a click on Quit"
[ "$(user_value "$dir" FurthestLevel)" = 2 ] && pass "the level reached is kept" ||
  fail "data.vrk: FurthestLevel is '$(user_value "$dir" FurthestLevel)'"

summary
