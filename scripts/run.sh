#!/usr/bin/env bash
# Builds Quillet and starts it under Wine, installing what is missing first. With the Linux
# libVLC bridge built it plays real video; otherwise it runs on the libVLC test double.
# Without a display it runs on Xvfb, plays a short test clip (with the bridge), writes a
# screenshot of the window (build/mingw/screenshot.png on a 32-bit capable machine, or the path in QUILLET_SCREENSHOT) and
# closes the player again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh
. scripts/lib/host-arch.sh
preset=$(quillet_preset)
build=${QUILLET_BUILD_DIR:-$root/build/$preset}
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" -j2

if [ -f "$build/run/libvlc.dll.so" ] && [ -f "$build/run/Quillet.exe" ]; then
  folder="$build/run"
  export WINEDLLPATH="$folder"
  engine="the system's libVLC (Wine bridge)"
else
  folder="$build/bin"
  engine="the libVLC test double"
fi

. scripts/lib/wine-env.sh
trap wine_down EXIT
if [ -n "${DISPLAY:-}" ] && [ -z "${QUILLET_SCREENSHOT:-}" ]; then
  # The player's own prefix persists, and with it the window placement between runs.
  wine_up "$build/player-wine" keep display nodesktop
  echo "Starting Quillet with $engine."
  cd "$folder" && wine Quillet.exe
  exit 0
fi

wine_up "$build/player-wine" keep xvfb desktop
shot=${QUILLET_SCREENSHOT:-$build/screenshot.png}
echo "No display: starting Quillet with $engine on Xvfb ($DISPLAY)."
winpath() { echo "Z:$1" | tr '/' '\\'; }
args=()
if [ "$folder" = "$build/run" ]; then
  # Play a short test clip, so the screenshot shows real video rather than the idle logo.
  clip="$build/demo/clip.mp4"
  mkdir -p "$build/demo"
  [ -s "$clip" ] || ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i testsrc2=duration=10:size=640x360:rate=25 -f lavfi -i sine=frequency=440:duration=10 \
    -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$clip"
  args=("$(winpath "$clip")" 3)
fi
(cd "$build/bin" && wine shot_driver.exe "$(winpath "$folder")" "$(winpath "$build/screenshot.bmp")" "${args[@]}") \
  </dev/null
convert "$build/screenshot.bmp" "$shot"
echo "Screenshot: $shot"
