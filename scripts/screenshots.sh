#!/usr/bin/env bash
# Renders the README's screenshots into docs/: the idle player, and the player paused part-way
# through a clip on the system's libVLC, at 100 and at 150 percent display scale. Runs under Xvfb;
# needs a build with the libVLC bridge.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/lib/host-arch.sh
preset=$(quillet_preset)
build=${QUILLET_BUILD_DIR:-$root/build/$preset}
cmake --build "$build" -j2 --target shot_driver quillet_run libvlc_bridge >/dev/null

. scripts/lib/wine-env.sh
trap wine_down EXIT
wine_up "$build/shots-wine" keep xvfb
wine_reset_dpi
export WINEDLLPATH="$build/run"
clips="$build/shot-clips"
mkdir -p "$clips" docs
[ -s "$clips/clip.mp4" ] || ffmpeg -nostdin -hide_banner -loglevel error -y \
  -f lavfi -i testsrc2=duration=20:size=640x360:rate=25 -f lavfi -i sine=frequency=440:duration=20 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$clips/clip.mp4"
winpath() { echo "Z:$1" | tr '/' '\\'; }

shot() { # name [clip seconds]
  local bmp="$build/$1.bmp"
  # Every picture shows the window as a first start makes it: its default size, centred.
  wine reg delete 'HKCU\Software\Tellan Media Player' /f >/dev/null 2>&1 </dev/null || true
  (cd "$build/bin" && wine shot_driver.exe "$(winpath "$build/run")" "$(winpath "$bmp")" "${@:2}") </dev/null
  convert "$bmp" -strip "docs/$1.png"
  echo "docs/$1.png"
}
shot screenshot-idle
shot screenshot-playing "$(winpath "$clips/clip.mp4")" 8
wine_set_dpi 144
shot screenshot-idle-150
shot screenshot-playing-150 "$(winpath "$clips/clip.mp4")" 8
wine_set_dpi default
