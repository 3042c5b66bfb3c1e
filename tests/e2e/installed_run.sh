#!/usr/bin/env bash
# cmake --install into a fresh prefix: the usual layout, the installed programs' versions, then
# the installed game started from elsewhere: it finds its data in share/velmora, plays, and
# remembers its settings across two runs in the user's data folder; --UserData puts them where it
# says, read from the folder the game was started in. Needs BUILD_DIR, VERSION, RUN_DIR, TOOLS_DIR and a DISPLAY.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
: "${BUILD_DIR:?set BUILD_DIR to the build tree}" "${VERSION:?set VERSION to the project version}"

prefix="$work/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null || fail "cmake --install returned $?"
mkdir -p "$work/elsewhere"

for file in bin/velmora bin/tavric share/velmora/lev/config.tvr share/velmora/res/text_font.ttf \
  share/velmora/res/cursor/main.png share/velmora/res/credit/jingle.ogg share/man/man6/velmora.6 \
  share/man/man1/tavric.1 share/doc/velmora/fonts-LICENSE.txt share/velmora/editors/tavric.tmLanguage.json \
  share/velmora/editors/vim/syntax share/velmora/editors/nvim/tavric.lua share/velmora/editors/vscode/package.json; do
  [ -e "$prefix/$file" ] || fail "$file is not installed"
done
# What only the build and the tests use stays out.
for file in share/velmora/editors/node_modules share/velmora/editors/test share/velmora/editors/package.json \
  bin/data.vrk bin/lev; do
  [ -e "$prefix/$file" ] && fail "$file should not be installed"
done
for program in velmora tavric; do
  said=$(cd / && "$prefix/bin/$program" --version 2>&1)
  [ "$said" = "$program (Velmora) $VERSION" ] || fail "installed $program --version said: $said"
done
for page in man6/velmora.6 man1/tavric.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
done
[ $failures -eq 0 ] && pass "the installed layout, versions and manual pages"

# run_installed NAME ARGS...: one run from $work/elsewhere, closed as a window manager would.
run_installed() {
  local name=$1; shift
  (cd "$work/elsewhere" && XDG_DATA_HOME="$work/xdg" exec "$prefix/bin/velmora" --Window=640x360 --Sound=False \
    --StartState=ingame "$@" >"$work/$name.out" 2>"$work/$name.err") &
  game_pid=$!
  close_game
  expect_status 0 "$name"
  if grep -qiE 'cannot|missing|failed to load|incorrect' "$work/$name.err"; then
    fail "$name: complaints on standard error"; sed 's/^/    | /' "$work/$name.err" | head -10
  else
    pass "$name: found every file of the installed game"
  fi
}

language_in() {
  "$prefix/bin/tavric" unscramble "$1" >"$work/user.tvr" 2>/dev/null &&
    "$prefix/bin/tavric" get "$work/user.tvr" CurrentLanguage 2>/dev/null
}

# Even with bin/ writable (as root), an installed game keeps its data in the user's folder.
saved="$work/xdg/velmora/data.vrk"
run_installed first --Language=Fr
[ -f "$saved" ] && [ ! -e "$prefix/bin/data.vrk" ] && pass "first: data.vrk in the user's data folder, not bin/" ||
  fail "first: no data.vrk in \$XDG_DATA_HOME/velmora, or one in bin/"
run_installed second
[ "$(language_in "$saved")" = Fr ] && pass "second: the language of the first run is kept" ||
  fail "second: the language is $(language_in "$saved"), expected Fr"

run_installed named --UserData=saves/mine.vrk --Language=En
[ -f "$work/elsewhere/saves/mine.vrk" ] && pass "named: --UserData made its folder and file" ||
  fail "named: no saves/mine.vrk where the game was started"
[ "$(language_in "$saved")" = Fr ] && pass "named: the user's data.vrk is left alone" ||
  fail "named: the user's data.vrk changed"

[ $failures -eq 0 ] && echo "installed run: all checks passed"
exit $((failures > 0))
