#!/usr/bin/env bash
# Makes the Tiled fixtures again from room.map, the way an author would get them: the map tool
# exports the room, the tile ids are moved to the tilesets an author's edit leaves (the walls'
# tileset second and embedded in the map) in the layer format asked for, and Tiled itself saves
# each file. Needs a built tree (BUILD, default build) and Debian's tiled.
# Usage: tests/tools/tiled/remake.sh [BUILD]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$here/../../../${1:-build}" && pwd)
scratch=$(mktemp -d /tmp/velmora-tiled-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen
"$build/tools/mapc/velmora_mapc" --export-tmx "$scratch" --sheets "$build/run/res" "$here/room.map"
for format in zlib gzip base64; do
  python3 "$here/retile.py" "$scratch/room.tmx" "$build" "$format" >"$scratch/room-$format.tmx"
done
tiled --export-map tmx "$scratch/room-zlib.tmx" "$here/room.tmx"
tiled --export-map json "$scratch/room-gzip.tmx" "$here/room-gzip.tmj"
tiled --export-map tmx "$scratch/room-base64.tmx" "$here/room-base64.tmx"
