#!/usr/bin/env bash
# CPU time of Quillet.exe at rest (nothing opened, and a file paused), with the system's libVLC
# (the Wine bridge). Wine's GetProcessTimes does not measure another process, so this script reads
# the player's CPU time from the Linux side at the marks idle_bench prints. Needs the Wine
# environment that scripts/bench.sh sets up.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUILLET_BUILD_DIR:?}
. "$root/scripts/lib/wine-process.sh"
bench_player_ready idle || exit 0
bench_clip idle.mp4 60 640x360

declare -A cpu at
status=0
while IFS= read -r line; do
  line=${line%$'\r'}
  case $line in
    "mark: "*)
      mark=${line#mark: }
      pid=$(wine_process_pid Quillet.exe) || { echo "# idle: no Linux process found for Quillet.exe"; status=1; continue; }
      cpu[$mark]=$(wine_process_cpu_ms "$pid")
      at[$mark]=$(date +%s%N)
      ;;
    *) echo "$line" ;;
  esac
done < <(cd "$build/bin" && wine idle_bench.exe "$(winpath "$build/run")" "$(winpath "$clips/idle.mp4")" </dev/null)

for pair in idle:idle-cpu-ms-per-s paused:idle-cpu-paused-ms-per-s; do
  mark=${pair%%:*} figure=${pair#*:}
  if [ -z "${cpu[$mark-start]:-}" ] || [ -z "${cpu[$mark-end]:-}" ]; then
    status=1
    continue
  fi
  awk -v name="$figure" -v ms=$((cpu[$mark-end] - cpu[$mark-start])) \
      -v ns=$((at[$mark-end] - at[$mark-start])) 'BEGIN { printf "%s: %.1f\n", name, ms * 1e9 / ns }'
done
exit $status
