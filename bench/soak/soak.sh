#!/usr/bin/env bash
# A long session of Quillet.exe with the system's libVLC (the Wine bridge): soak_bench drives the
# player and counts its GDI objects, handles and windows; this script adds its resident memory,
# read from the Linux side at the marks soak_bench prints. Needs the Wine environment that
# scripts/bench.sh sets up. SOAK_OPENS, SOAK_WARMUP and SOAK_PLAY_SECONDS shorten a run.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUILLET_BUILD_DIR:?}
. "$root/scripts/lib/wine-process.sh"
bench_player_ready soak || exit 0
n=1
for source in testsrc testsrc2 smptebars; do
  bench_clip "soak-$n.mp4" 6 640x360 "$source"
  n=$((n + 1))
done

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
