#!/usr/bin/env bash
# cmake --install into a fresh prefix: the usual layout is there, and the installed programs run
# from it. Usage: layout.sh BUILD_DIR VERSION
set -u
build=$1 version=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install returned $?"

for file in bin/velmora bin/tavric; do
  [ -x "$prefix/$file" ] || fail "$file is missing or not executable"
done
for file in share/velmora/lev/config.tvr share/velmora/res/text_font.ttf share/velmora/res/cursor/main.png \
  share/velmora/res/credit/jingle.ogg share/man/man6/velmora.6 share/man/man1/tavric.1 \
  share/doc/velmora/fonts-LICENSE.txt share/velmora/editors/tavric.tmLanguage.json \
  share/velmora/editors/vim/syntax share/velmora/editors/nvim/tavric.lua \
  share/velmora/editors/vscode/package.json; do
  [ -e "$prefix/$file" ] || fail "$file is missing"
done
# What only the build and the tests use stays out.
for file in share/velmora/editors/node_modules share/velmora/editors/test share/velmora/editors/package.json \
  bin/data.vrk bin/lev; do
  [ -e "$prefix/$file" ] && fail "$file should not be installed"
done

for program in velmora tavric; do
  said=$(cd / && "$prefix/bin/$program" --version 2>&1)
  [ "$said" = "$program (Velmora) $version" ] || fail "$program --version said: $said"
done
# Both manual pages render without complaint.
for page in man6/velmora.6 man1/tavric.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
done

[ $failures -eq 0 ] && echo "install layout: all checks passed"
exit $((failures > 0))
