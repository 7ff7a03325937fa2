#!/usr/bin/env bash
# Start-up and Open-to-first-frame of Quillet.exe with the system's libVLC (the Wine bridge),
# against a bare Win32 window program measured in the same run. Needs the Wine environment
# that scripts/bench.sh sets up.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUILLET_BUILD_DIR:?}
. "$root/scripts/lib/wine-process.sh"
bench_player_ready startup || exit 0
bench_clip clip.mp4 5 320x240
(cd "$build/bin" && wine startup_bench.exe "$(winpath "$build/run")" "$(winpath "$build/bin")" \
  "$(winpath "$clips/clip.mp4")") </dev/null | tr -d '\r'
