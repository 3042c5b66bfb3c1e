#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, only those missing, and
# the npm packages of the editor grammar's test. Works as root and through sudo.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsfml-dev googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libpugixml-dev zlib1g-dev tiled
  xvfb xdotool imagemagick x11-apps procps
  fonts-dejavu-core
  clang-14 libclang-rt-14-dev
  locales
  neovim
  desktop-file-utils appstream lintian dpkg-dev fakeroot file
)

# Node and npm run the editor grammar's test; those already on the machine will do.
{ command -v node && command -v npm; } >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  sudo=(none)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "${sudo[*]}" = none ]; then
    echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A comma-decimal locale, so that the number conversions are tested against one.
if ! locale -a 2>/dev/null | grep -qix 'fr_FR\.utf-\?8'; then
  if [ "${sudo[*]}" = none ]; then
    echo "fr_FR.UTF-8 is missing and neither root nor sudo is available; the locale test will be skipped." >&2
  else
    echo "Generating the fr_FR.UTF-8 locale"
    "${sudo[@]}" localedef -i fr_FR -f UTF-8 fr_FR.UTF-8
  fi
fi

# The npm packages of the grammar's test, as locked in tools/editors/package-lock.json, into
# tools/editors/node_modules (ignored by git). Installed again only when the lock changes.
editors=$(cd "$(dirname "$0")" && pwd)/editors
if [ ! -f "$editors/node_modules/.package-lock.json" ] ||
   [ "$editors/package-lock.json" -nt "$editors/node_modules/.package-lock.json" ]; then
  echo "Installing the npm packages of tools/editors"
  (cd "$editors" && npm ci --no-audit --no-fund --loglevel=error)
fi
