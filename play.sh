#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it. Extra arguments go to the game,
# for example: ./play.sh --Window=1280x720 --Language=Fr
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$top/build/run/velmora" "$@"
