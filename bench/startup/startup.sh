#!/usr/bin/env bash
# Start-up and Open-to-first-frame of Quillet.exe with the system's libVLC (the Wine bridge),
# against a bare Win32 window program measured in the same run. Needs the Wine environment
# that scripts/bench.sh sets up.
set -euo pipefail
build=${QUILLET_BUILD_DIR:?}
if [ ! -f "$build/run/libvlc.dll.so" ]; then
  echo "# startup: the libVLC bridge is not built; skipped"
  exit 0
fi
clips="$build/bench-clips"
mkdir -p "$clips"
[ -s "$clips/clip.mp4" ] || ffmpeg -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i testsrc=duration=5:size=320x240:rate=25 -f lavfi -i sine=frequency=440:duration=5 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$clips/clip.mp4"
winpath() { echo "Z:$1" | tr '/' '\\'; }
export WINEDLLPATH="$build/run"
(cd "$build/bin" && wine startup_bench.exe "$(winpath "$build/run")" "$(winpath "$build/bin")" \
  "$(winpath "$clips/clip.mp4")") </dev/null | tr -d '\r'
