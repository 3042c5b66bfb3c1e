#!/usr/bin/env bash
# The real game against a run directory with one thing broken at a time. Each case checks the
# exit status (never a signal, never a hang), the exact line printed, and that the user data
# already there survives. Needs RUN_DIR, TOOLS_DIR and a DISPLAY (Xvfb).
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

# A module that cannot start ends the program with this status once its failure line is out.
start_failure_status=1

# User data every case starts with; a case must leave it as it was or rewrite it whole.
guard_text='CurrentLanguage = "Fr"
[Users
  [Ada
    Selected = 1
  ]
  [Bob
  ]
]'

# prepare NAME: a fresh copy of the run directory holding the guard user data; sets dir.
prepare() {
  dir=$(fresh_run "$1")
  write_user_data "$dir" "$guard_text"
  cp "$dir/data.vrk" "$dir/data.vrk.before"
}

# user_data_kept WHAT [LANGUAGE]: data.vrk untouched, or rewritten with the same selected user
# (and LANGUAGE, Fr unless given).
user_data_kept() {
  if cmp -s "$dir/data.vrk" "$dir/data.vrk.before"; then
    pass "$1: data.vrk untouched"
  elif [ "$(user_value "$dir" Users.Ada.Selected int)" = 1 ] &&
       [ "$(user_value "$dir" CurrentLanguage)" = "${2:-Fr}" ]; then
    pass "$1: data.vrk rewritten with its user and language"
  else
    fail "$1: data.vrk lost or changed: $("$dir/tavric" unscramble "$dir/data.vrk" 2>&1 | tr '\n' ' ')"
  fi
}

# no_sanitizer_report WHAT: nothing from the address or undefined-behaviour checkers.
no_sanitizer_report() {
  if grep -qE 'runtime error|AddressSanitizer|LeakSanitizer' "$dir/stderr"; then
    fail "$1: sanitizer report"; grep -m5 -E 'runtime error|Sanitizer' "$dir/stderr" | sed 's/^/    | /'
  fi
}

plays() { plays_to_conversation "$1" "$dir/shot.png"; }

# ends_alone WHAT STATUS: the game ends by itself with STATUS.
ends_alone() {
  finish_game 40
  expect_status "$2" "$1"
}

# ---- configuration edits (awk only: the layout is the one the map tool writes) ----

# short_layer FILE LAYER: drops the last element of a layer collection.
short_layer() {
  awk -v L="$2" '
    $1 == L && $2 == "=" { inside = 1 }
    inside && $1 == "]" { sub(/[ \t]*[^ \t]+[ \t]*$/, "", prev); inside = 0 }
    NR > 1 { print prev }
    { prev = $0 }
    END { print prev }' "$1" >"$1.new" && mv "$1.new" "$1"
}

# plain_layer FILE LAYER: a layer that is a single integer instead of a collection.
plain_layer() {
  awk -v L="$2" '
    $1 == L && $2 == "=" { print "      " L " = 5"; skip = 1; next }
    skip && $1 == "]" { skip = 0; next }
    !skip' "$1" >"$1.new" && mv "$1.new" "$1"
}

# extra_maps FILE N: N copies of the first map after it (Map0 -> Copy1 .. CopyN).
extra_maps() {
  awk -v N="$2" '
    /^  \[Map0/ { inside = 1 }
    inside { block[++lines] = $0 }
    { print }
    inside && /^  \]$/ {
      inside = 0
      for (c = 1; c <= N; c++)
        for (i = 1; i <= lines; i++) { line = block[i]; sub(/\[Map0/, "[Copy" c, line); print line }
    }' "$1" >"$1.new" && mv "$1.new" "$1"
}

# small_map FILE W H: the maps replaced by one walled W x H room.
small_map() {
  sed -i '/^\[Maps/,$d' "$1"
  awk -v W="$2" -v H="$3" 'BEGIN {
    print "[Maps\n  [Small\n    Width = " W "\n    Height = " H "\n    [Layers"
    for (l = 0; l < 6; l++) {
      print "      L" l " = [Collection (" W ")"
      for (y = 0; y < H; y++) {
        line = "       "
        for (x = 0; x < W; x++) {
          edge = x == 0 || y == 0 || x == W - 1 || y == H - 1
          v = 0
          if (l == 0) v = 1
          if (l == 3 && edge) v = 542
          if (l == 5 && x == 2 && y == 2) v = 902
          line = line " " v
        }
        print line
      }
      print "      ]"
    }
    print "    ]\n  ]\n]"
  }' >>"$1"
}

# ---- start-up: status 1 before any window ----

prepare no-config
rm "$dir/lev/config.tvr"
start_game "$dir"; ends_alone "no lev/config.tvr" 1
expect_text "$dir/stderr" "Cannot open input file './lev/config.tvr'" "no lev/config.tvr: message on standard error"
[ -s "$dir/stdout" ] && fail "no lev/config.tvr: standard output not empty"
user_data_kept "no lev/config.tvr"

prepare bad-config
printf '[Language\n  [En\n    Victory = "Won"\n  ]\n[Maps\n  Width = 3\n' >"$dir/lev/config.tvr"
start_game "$dir"; ends_alone "unclosed node in the configuration" 1
expect_text "$dir/stderr" "(Entry ./lev/config.tvr, line 7, col 1): Missing ']' token" \
  "unclosed node in the configuration: message with its place on standard error"
user_data_kept "unclosed node in the configuration"

prepare cut-config
head -c 30000 "$RUN_DIR/lev/config.tvr" >"$dir/lev/config.tvr"
start_game "$dir"; ends_alone "configuration cut short" 1
expect_text "$dir/stderr" "(Entry ./lev/config.tvr, line" "configuration cut short: message with its place on standard error"
user_data_kept "configuration cut short"

prepare no-cursor
rm "$dir/res/cursor/next_talking.png"
start_game "$dir"; ends_alone "missing cursor" 1
expect_line "$dir/stderr" "Cannot load res/cursor/next_talking.png from memory." "missing cursor"
user_data_kept "missing cursor"

# ---- the in-game module cannot start: its failure line, then the program ends ----

for missing in res/face/doctor.png res/chipset0.png res/text_font.ttf res/disrupt.ogg res/victory.ogg; do
  prepare "no-$(basename "$missing")"
  rm "$dir/$missing"
  start_game "$dir" --StartState=ingame; ends_alone "missing $missing" "$start_failure_status"
  expect_line "$dir/stderr" "vrk::Ingame failure: $missing" "missing $missing"
  no_sanitizer_report "missing $missing"
  user_data_kept "missing $missing"
done

prepare short-ground
short_layer "$dir/lev/config.tvr" L0
start_game "$dir" --StartState=ingame; ends_alone "ground layer one element short" "$start_failure_status"
expect_line "$dir/stderr" "Map format is incorrect (63, 43)" "ground layer one element short"
user_data_kept "ground layer one element short"

prepare short-monsters
short_layer "$dir/lev/config.tvr" L5
start_game "$dir" --StartState=ingame; ends_alone "monster layer one element short" "$start_failure_status"
expect_line "$dir/stderr" "Map format is incorrect (63, 43)" "monster layer one element short"
user_data_kept "monster layer one element short"

prepare plain-layer
plain_layer "$dir/lev/config.tvr" L3
start_game "$dir" --StartState=ingame; ends_alone "wall layer not a collection" "$start_failure_status"
expect_line "$dir/stderr" "Map format is incorrect (0, 0)" "wall layer not a collection"
user_data_kept "wall layer not a collection"

# ---- the game goes on ----

prepare no-loading-image
rm "$dir/res/loading/dancingmirabo.png"
start_game "$dir" --StartState=ingame
plays "missing loading image"
expect_line "$dir/stderr" "Error while loading res/loading/dancingmirabo.png." "missing loading image"
user_data_kept "missing loading image"

prepare no-credit-image
rm "$dir/res/credit/title.png"
start_game "$dir"
# Without the credits the title comes at once; it writes its name instead of the missing picture.
if wait_for 20 window_open && window_geometry && wait_screen 20 "$dir/title.png" title_shown; then
  pass "missing credits image: the title shows"
else
  fail "missing credits image: no title"
fi
xdotool key Return
plays "missing credits image"
expect_line "$dir/stderr" "vrk::Title failure: res/credit/title.png" "missing credits image: the title says so"
expect_line "$dir/stderr" "vrk::Credit failure: ./res/credit/title.png" "missing credits image"
user_data_kept "missing credits image"

prepare no-title-view
rm "$dir/res/title/view.jpg"
start_game "$dir" --StartState=title
if wait_for 20 window_open && window_geometry && wait_screen 20 "$dir/title.png" title_shown; then
  pass "missing title view: the title shows over black"
else
  fail "missing title view: no title"
fi
close_game
expect_status 0 "missing title view"
expect_line "$dir/stderr" "vrk::Title failure: res/title/view.jpg" "missing title view"
user_data_kept "missing title view"

prepare silent-no-sound
rm "$dir/res/disrupt.ogg" "$dir/res/victory.ogg"
start_game "$dir" --StartState=ingame --Sound=False
plays "missing sounds with --Sound=False"
grep -q failure "$dir/stderr" && fail "missing sounds with --Sound=False: a failure line although sound is off"
user_data_kept "missing sounds with --Sound=False"

prepare four-maps
extra_maps "$dir/lev/config.tvr" 1 # after the three shipped maps: one more level, no code
start_game "$dir" --StartState=ingame
plays "four maps"
grep -q 'Maps' "$dir/stderr" && fail "four maps: a line about the maps: $(grep -m1 Maps "$dir/stderr")"
user_data_kept "four maps"

prepare small-map
small_map "$dir/lev/config.tvr" 10 6
start_game "$dir" --StartState=ingame
plays "10 x 6 map, smaller than the scene"
no_sanitizer_report "10 x 6 map"
user_data_kept "10 x 6 map, smaller than the scene"

prepare empty-config
: >"$dir/lev/config.tvr"
start_game "$dir" --StartState=ingame
plays "empty configuration: no maps, no texts"
expect_line "$dir/stderr" 'No map under "Maps": the game plays an empty one.' "empty configuration"
user_data_kept "empty configuration: no maps, no texts" En

# ---- user data that cannot be used ----

dir=$(fresh_run garbage-user-data)
head -c 4096 "$RUN_DIR/res/shot.png" >"$dir/data.vrk"
start_game "$dir" --StartState=ingame
plays "garbage data.vrk"
[ "$(user_value "$dir" CurrentLanguage)" = En ] && pass "garbage data.vrk: replaced by readable user data" ||
  fail "garbage data.vrk: not replaced by readable user data"

dir=$(fresh_run broken-user-data)
write_user_data "$dir" '[Users
  [Ada
    Selected = 1'
start_game "$dir" --StartState=ingame
plays "unparsable data.vrk"
[ -s "$dir/stderr" ] && pass "unparsable data.vrk: messages on standard error" ||
  fail "unparsable data.vrk: no message on standard error"
[ -s "$dir/stdout" ] && fail "unparsable data.vrk: standard output not empty"
[ "$(user_value "$dir" CurrentLanguage)" = En ] && pass "unparsable data.vrk: rewritten readable" ||
  fail "unparsable data.vrk: not rewritten readable"

dir=$(fresh_run empty-user-data)
: >"$dir/data.vrk"
start_game "$dir" --StartState=ingame
plays "empty data.vrk"
[ -s "$dir/stdout" ] && fail "empty data.vrk: unexpected output: $(head -3 "$dir/stdout")"
[ "$(user_value "$dir" CurrentLanguage)" = En ] && pass "empty data.vrk: rewritten with the language" ||
  fail "empty data.vrk: not rewritten"

dir=$(fresh_run directory-user-data)
mkdir "$dir/data.vrk"
echo keep >"$dir/data.vrk/inside"
start_game "$dir" --StartState=ingame
plays "data.vrk is a directory"
if [ -d "$dir/data.vrk" ] && [ "$(cat "$dir/data.vrk/inside")" = keep ]; then
  pass "data.vrk is a directory: left as it was"
else
  fail "data.vrk is a directory: changed"
fi
leftovers=$(find "$dir" -maxdepth 1 -name 'data.vrk?*' | wc -l)
[ "$leftovers" -eq 0 ] && pass "data.vrk is a directory: no temporary file left" ||
  fail "data.vrk is a directory: $leftovers temporary file(s) left"

summary
