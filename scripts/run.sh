#!/usr/bin/env bash
# Builds Quillet and starts it under Wine, installing what is missing first. With the Linux
# libVLC bridge built it plays real video; otherwise it runs on the libVLC test double.
# Without a display it runs on Xvfb, writes a screenshot (build/screenshot.png, or the path in
# QUILLET_SCREENSHOT) after a few seconds and closes the player again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh
build=${QUILLET_BUILD_DIR:-$root/build/mingw}
cmake --preset mingw -B "$build" >/dev/null
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
(cd "$folder" && wine Quillet.exe) &
player=$!
for _ in $(seq 1 50); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Quillet 1.1' && break
  sleep 0.2
done
sleep 2
import -window root "$shot"
echo "Screenshot: $shot"
wine taskkill /im Quillet.exe >/dev/null 2>&1 || true
wait "$player" || true
