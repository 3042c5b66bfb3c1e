#!/usr/bin/env bash
# The Debian package: built by CPack into a scratch folder, accepted by lintian without an error,
# holding the game and not the library's files, then unpacked with dpkg -x and run from there:
# the game to its opening conversation and out again, tavric --version, and a user data folder
# that cannot be made, which costs one line and not the run.
# Needs BUILD_DIR, VERSION, CPACK, RUN_DIR, TOOLS_DIR and a DISPLAY.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
: "${BUILD_DIR:?set BUILD_DIR to the build tree}" "${VERSION:?set VERSION to the project version}" \
  "${CPACK:?set CPACK to the cpack program}"
for tool in lintian dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/setup.sh installs it)"; exit 1; }
done

"$CPACK" --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.out" 2>&1 ||
  { fail "cpack returned $?"; sed 's/^/    | /' "$work/cpack.out" | tail -20; exit 1; }
deb=$(ls "$work"/pkg/velmora_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { fail "cpack made no velmora_*.deb"; exit 1; }
pass "cpack made $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  *libsfml-graphics*libstdc++*) pass "its dependencies are computed: $depends" ;;
  *) fail "Depends does not name the SFML and C++ libraries: $depends" ;;
esac

# lintian as root says so on standard error; only its report counts.
lintian --info "$deb" >"$work/lintian.out" 2>/dev/null
if grep -q '^E:' "$work/lintian.out"; then
  fail "lintian reports errors"; grep '^[EW]:' "$work/lintian.out" | sed 's/^/    | /'
else
  pass "lintian: no error ($(grep -c '^W:' "$work/lintian.out") warning(s))"
fi

root="$work/root"
dpkg -x "$deb" "$root" || fail "dpkg -x returned $?"
for file in usr/games/velmora usr/bin/tavric usr/share/velmora/lev/config.tvr usr/share/velmora/res/text_font.ttf \
  usr/share/man/man6/velmora.6.gz usr/share/man/man1/tavric.1.gz usr/share/doc/velmora/copyright \
  usr/share/doc/velmora/changelog.gz usr/share/doc/velmora/LICENSE usr/share/doc/velmora/fonts-LICENSE.txt usr/share/doc/velmora/tavric.md \
  usr/share/applications/velmora.desktop usr/share/metainfo/io.github.velmora.Velmora.metainfo.xml \
  usr/share/icons/hicolor/48x48/apps/velmora.png usr/share/icons/hicolor/256x256/apps/velmora.png \
  usr/share/velmora/editors/nvim/tavric.lua; do
  [ -e "$root/$file" ] || fail "the package lacks $file"
done
# The library's headers, archive, CMake package and pkg-config file belong to another component.
leaked=$(cd "$root" && find . \( -path '*/include/*' -o -name '*.a' -o -name '*.pc' -o -path '*/cmake/*' \) -print | head -5)
[ -z "$leaked" ] || fail "the package holds the library's files: $leaked"
[ $failures -eq 0 ] && pass "the package's layout"

said=$(cd / && "$root/usr/bin/tavric" --version 2>&1)
[ "$said" = "tavric (Velmora) $VERSION" ] && pass "unpacked tavric --version" || fail "unpacked tavric --version said: $said"

# run_unpacked NAME XDG: the unpacked game started from elsewhere with XDG_DATA_HOME=XDG, to its
# opening conversation, then closed as a window manager would.
mkdir -p "$work/elsewhere"
run_unpacked() {
  (cd "$work/elsewhere" && XDG_DATA_HOME="$2" exec "$root/usr/games/velmora" --Window=640x360 --Sound=False \
    --StartState=ingame >"$work/$1.out" 2>"$work/$1.err") &
  game_pid=$!
  plays_to_conversation "$1" "$work/$1.png"
}

# game_lines NAME: what the game said on standard error, without the display's word on vertical sync.
game_lines() { grep -v -x 'Setting vertical sync not supported' "$work/$1.err"; }

run_unpacked played "$work/xdg"
[ -n "$(game_lines played)" ] && { fail "played: complaints on standard error"; game_lines played | sed 's/^/    | /' | head; }
[ -f "$work/xdg/velmora/data.vrk" ] && pass "played: data.vrk in the user's data folder" ||
  fail "played: no data.vrk in \$XDG_DATA_HOME/velmora"

# A file where the folder should be refuses it even to root, as a read-only folder would.
echo "not a folder" >"$work/xdg-file"
run_unpacked refused "$work/xdg-file"
expect_line "$work/refused.err" \
  "Cannot save the user data: cannot create the folder '$work/xdg-file/velmora': Not a directory" "refused"
[ "$(game_lines refused | grep -c .)" = 1 ] && pass "refused: one line on standard error" ||
  fail "refused: $(game_lines refused | grep -c .) lines on standard error, expected one"
[ -z "$(find "$root" -name data.vrk)" ] && pass "refused: nothing written into the unpacked tree" ||
  fail "refused: a data.vrk in the unpacked tree"

summary
