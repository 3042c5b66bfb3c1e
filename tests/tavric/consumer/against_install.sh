#!/usr/bin/env bash
# The data library as another program gets it: the Development component installed into a fresh
# prefix, every installed header compiled on its own, then this folder's consumer built against
# that prefix with CMake (find_package) and with pkg-config, each run on a document.
# Needs BUILD_DIR and VERSION; CXX names the compiler (the build's own, for the same library ABI),
# LAUNCHER the build's compiler launcher (ccache), if it has one.
set -u
: "${BUILD_DIR:?set BUILD_DIR to the build tree}" "${VERSION:?set VERSION to the project version}"
here=$(cd "$(dirname "$0")" && pwd)
cxx=${CXX:-c++}
launcher=()
[ -n "${LAUNCHER:-}" ] && launcher=("$LAUNCHER")

failures=0
work=$(mktemp -d "${TMPDIR:-/tmp}/tavric-consumer.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# show FILE: the first lines of what a failed step said.
show() { sed 's/^/    | /' "$1" | head -20; }

prefix="$work/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" --component Development >"$work/install.out" 2>&1 ||
  { fail "cmake --install --component Development returned $?"; show "$work/install.out"; exit 1; }

pc=$(find "$prefix" -name tavric.pc)
lib=$(find "$prefix" -name libtavric.a)
if [ -z "$pc" ] || [ -z "$lib" ] || [ ! -f "$(dirname "$lib")/cmake/Tavric/TavricConfigVersion.cmake" ] ||
  [ ! -f "$prefix/include/tavric/model/Tavric.hpp" ] || [ ! -f "$prefix/include/tavric/text/Documents.hpp" ]; then
  fail "missing from the prefix: tavric.pc, libtavric.a, cmake/Tavric/ or the front-door headers"
  exit 1
fi
# Only the library's files: no program, no game data, no private header.
others=$(cd "$prefix" && find . -type f ! -path './include/tavric/*' ! -name libtavric.a ! -path '*/cmake/Tavric/*' \
  ! -name tavric.pc)
[ -z "$others" ] || fail "the Development component installs more than the library: $others"
[ -e "$prefix/include/tavric/model/TavricInternal.hpp" ] && fail "a private header is installed"
[ $failures -eq 0 ] && pass "the Development component's layout"

PKG_CONFIG_PATH=$(dirname "$pc")
export PKG_CONFIG_PATH
said=$(pkg-config --modversion tavric 2>&1)
[ "$said" = "$VERSION" ] || fail "pkg-config --modversion tavric said: $said"

# Each header with only the installed tree and pkg-config's flags: nothing it includes is missing.
cflags=$(pkg-config --cflags tavric)
before=$failures headers=0
while IFS= read -r header; do
  headers=$((headers + 1))
  echo "#include \"${header#"$prefix/include/"}\"" >"$work/one.cpp"
  # shellcheck disable=SC2086
  "${launcher[@]}" "$cxx" $cflags -Wall -Wextra -Werror -fsyntax-only "$work/one.cpp" 2>"$work/header.err" ||
    { fail "${header#"$prefix/"} does not compile on its own"; show "$work/header.err"; }
done < <(find "$prefix/include" -name '*.hpp' | sort)
[ $headers -gt 0 ] || fail "no header installed"
[ $failures -eq $before ] && pass "$headers installed headers compile on their own"

cat >"$work/cellar.tvr" <<'TVR'
title = "The Cellar"
[door
  width = 12
]
TVR
printf 'title = "unclosed\n' >"$work/broken.tvr"

# check NAME PROGRAM: the consumer reads a string, an int as text, and refuses what it should.
check() {
  local name=$1 program=$2 said
  said=$("$program" "$work/cellar.tvr" title 2>&1)
  [ "$said" = "The Cellar" ] || fail "$name: title read as: $said"
  said=$("$program" "$work/cellar.tvr" door.width 2>&1)
  [ "$said" = "12" ] || fail "$name: door.width read as: $said"
  said=$("$program" "$work/cellar.tvr" door.height 2>&1) && fail "$name: a missing field was read: $said"
  said=$("$program" "$work/broken.tvr" title 2>&1) && fail "$name: a broken document was read: $said"
  case $said in *"broken.tvr, line "*) ;; *) fail "$name: the broken document's message: $said" ;; esac
}

# With CMake: find_package(Tavric) in a project of its own, this version accepted, the next major not.
before=$failures
if ! { cmake -S "$here" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
  -DTAVRIC_WANTED="$VERSION" ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER="$LAUNCHER"} &&
  cmake --build "$work/cmake"; } >"$work/cmake.out" 2>&1; then
  fail "the consumer does not build with CMake"; show "$work/cmake.out"
fi
[ -x "$work/cmake/tavric_consumer" ] && check cmake "$work/cmake/tavric_consumer"
next=$((${VERSION%%.*} + 1)).0
cmake -S "$here" -B "$work/cmake-next" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
  -DTAVRIC_WANTED="$next" >"$work/next.out" 2>&1 && fail "find_package(Tavric $next) accepted version $VERSION"
[ $failures -eq $before ] && pass "built with CMake's find_package(Tavric), read a document"

# With pkg-config, as a one-line build.
before=$failures
# shellcheck disable=SC2046
"${launcher[@]}" "$cxx" -o "$work/pc_consumer" "$here/main.cpp" $(pkg-config --cflags --libs tavric) \
  2>"$work/pc.err" || { fail "the consumer does not build with pkg-config's flags"; show "$work/pc.err"; }
[ -x "$work/pc_consumer" ] && check pkg-config "$work/pc_consumer"
[ $failures -eq $before ] && pass "built with pkg-config --cflags --libs tavric, read a document"

[ $failures -eq 0 ]
