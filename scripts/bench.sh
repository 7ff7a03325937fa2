#!/usr/bin/env bash
# Builds Quillet and runs every benchmark in bench/: each bench_* program under Wine, and each
# bench/*/*.sh script. Every figure is printed as one `name: value` line; ratios are measured
# against a baseline taken in the same run, since the machines are shared and noisy.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh
. scripts/lib/host-arch.sh
preset=$(quillet_preset)
build=${QUILLET_BUILD_DIR:-$root/build/$preset}
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" -j2 >/dev/null

. scripts/lib/wine-env.sh
trap wine_down EXIT
wine_up "$build/bench-wine" keep xvfb

status=0
for exe in "$build"/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  echo "# $(basename "$exe")"
  (cd "$build/bin" && wine "$(basename "$exe")") </dev/null | tr -d '\r' || status=$?
done
for script in bench/*/*.sh; do
  [ -e "$script" ] || continue
  echo "# $script"
  QUILLET_BUILD_DIR="$build" bash "$script" </dev/null || status=$?
done
exit $status
