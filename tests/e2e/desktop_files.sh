#!/usr/bin/env bash
# The desktop's files as cmake --install lays them out: the entry and the AppStream metadata pass
# their validators (validate-tree also finds the entry the metadata launches), the icon the entry
# names is there at every size, square and of that size, and the metadata's release is this one.
# Needs BUILD_DIR and VERSION; no display.
set -u
: "${BUILD_DIR:?set BUILD_DIR to the build tree}" "${VERSION:?set VERSION to the project version}"
for tool in desktop-file-validate appstreamcli identify; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/setup.sh installs it)"; exit 1; }
done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-desktop.XXXXXX")
trap 'rm -rf "$work"' EXIT

prefix="$work/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" --component Game >/dev/null || { fail "cmake --install returned $?"; exit 1; }
entry="$prefix/share/applications/velmora.desktop"
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml 2>/dev/null)
[ -f "$entry" ] || fail "no share/applications/velmora.desktop"
[ "$(echo "$metainfo" | grep -c .)" = 1 ] || fail "expected one share/metainfo/*.metainfo.xml, found: $metainfo"
[ $failures -eq 0 ] || exit 1

said=$(desktop-file-validate "$entry" 2>&1) && [ -z "$said" ] && pass "desktop-file-validate" ||
  { fail "desktop-file-validate:"; echo "$said" | sed 's/^/    | /'; }
said=$(appstreamcli validate --no-net "$metainfo" 2>&1) && pass "appstreamcli validate --no-net" ||
  { fail "appstreamcli validate:"; echo "$said" | sed 's/^/    | /'; }
said=$(appstreamcli validate-tree --no-net "$prefix" 2>&1) && pass "appstreamcli validate-tree --no-net" ||
  { fail "appstreamcli validate-tree:"; echo "$said" | sed 's/^/    | /'; }

# The id is the file's name, as AppStream wants.
id=$(basename "$metainfo" .metainfo.xml)
grep -qF "<id>$id</id>" "$metainfo" && pass "the metadata's id is its file's name ($id)" || fail "no <id>$id</id>"
grep -qF "<release version=\"$VERSION\"" "$metainfo" && pass "the release is $VERSION" ||
  fail "no release $VERSION in the metadata"
grep -qE '<image>https://[^<]+/docs/screenshots/[a-z]+\.png</image>' "$metainfo" &&
  pass "a screenshot of docs/screenshots" || fail "no screenshot of docs/screenshots by URL"

icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 48 64 128 256; do
  file="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  got=$(identify -format '%m %wx%h' "$file" 2>/dev/null)
  [ "$got" = "PNG ${size}x${size}" ] || fail "icon $size: $file is '${got:-missing}', expected PNG ${size}x${size}"
done
[ $failures -eq 0 ] && pass "the icon '$icon' at 48, 64, 128 and 256"
[ "$(sed -n 's/^Exec=//p' "$entry")" = velmora ] && [ -x "$prefix/bin/velmora" ] && pass "Exec names the installed game" ||
  fail "Exec does not name the installed game"

[ $failures -eq 0 ] && echo "desktop files: all checks passed"
exit $((failures > 0))
