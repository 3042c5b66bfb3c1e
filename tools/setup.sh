#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, only those missing.
# Works as root and through sudo.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsfml-dev googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  libpugixml-dev zlib1g-dev tiled
  xvfb xdotool imagemagick x11-apps procps
  fonts-dejavu-core
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
