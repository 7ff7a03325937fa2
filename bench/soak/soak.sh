#!/usr/bin/env bash
# A long session of Quillet.exe with the system's libVLC (the Wine bridge): soak_bench drives the
# player and counts its GDI objects, handles and windows; this script adds its resident memory,
# read from the Linux side at the two marks soak_bench prints. Needs the Wine environment that
# scripts/bench.sh sets up. SOAK_OPENS, SOAK_WARMUP and SOAK_PLAY_SECONDS shorten a run.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUILLET_BUILD_DIR:?}
if [ ! -f "$build/run/libvlc.dll.so" ]; then
  echo "# soak: the libVLC bridge is not built; skipped"
  exit 0
fi
. "$root/scripts/lib/wine-process.sh"

clips="$build/bench-clips"
mkdir -p "$clips"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
n=1
for source in testsrc testsrc2 smptebars; do
  [ -s "$clips/soak-$n.mp4" ] || ff -f lavfi -i "$source=duration=6:size=640x360:rate=25" \
    -f lavfi -i sine=frequency=440:duration=6 -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest \
    "$clips/soak-$n.mp4"
  n=$((n + 1))
done
winpath() { echo "Z:$1" | tr '/' '\\'; }
export WINEDLLPATH="$build/run"

declare -A rss
status=0
while IFS= read -r line; do
  line=${line%$'\r'}
  case $line in
    "mark: "*)
      pid=
      pid=$(wine_process_pid Quillet.exe) || { echo "# soak: no Linux process found for Quillet.exe"; status=1; }
      [ -n "${pid:-}" ] && rss[${line#mark: }]=$(wine_process_rss_kb "$pid")
      echo "# soak: resident at ${line#mark: }: ${rss[${line#mark: }]:-?} kB"
      ;;
    *) echo "$line" ;;
  esac
done < <(cd "$build/bin" && wine soak_bench.exe "$(winpath "$build/run")" "$(winpath "$clips")" </dev/null)
if [ -n "${rss[before]:-}" ] && [ -n "${rss[after]:-}" ]; then
  echo "soak-rss-kb-before: ${rss[before]}"
  echo "soak-rss-kb-delta: $((rss[after] - rss[before]))"
else
  status=1
fi
exit $status
