# Sourced by the benchmarks: a Windows program's Linux side under Wine, for the figures Wine
# does not report through the Windows calls (resident memory, and CPU time of another process).
#
#   wine_process_pid <exe name>   the Linux pid of that program in this run's WINEPREFIX
#   wine_process_rss_kb <pid>     its resident memory (VmRSS), in kB
#   wine_process_cpu_ms <pid>     its user plus system CPU time so far, in ms
#   bench_player_ready <name>     false (after saying so) when the libVLC bridge is not built;
#                                 else sets up playing through it and makes $clips
#   bench_clip <file> <seconds> <size> [source]   a test clip in $clips unless it is there
#   winpath <path>                the Windows form of a Linux path

wine_process_pid() {
  local name=$1 pid
  for pid in $(pgrep -f -- "$name" 2>/dev/null); do
    # Other runs may play the same program in prefixes of their own.
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

wine_process_rss_kb() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}

wine_process_cpu_ms() {
  # Fields 14 and 15 of stat, after the command name in parentheses (which may hold spaces).
  local ticks
  ticks=$(sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }')
  echo $((ticks * 1000 / $(getconf CLK_TCK)))
}

bench_player_ready() {
  if [ ! -f "$QUILLET_BUILD_DIR/run/libvlc.dll.so" ]; then
    echo "# $1: the libVLC bridge is not built; skipped"
    return 1
  fi
  export WINEDLLPATH="$QUILLET_BUILD_DIR/run"
  clips="$QUILLET_BUILD_DIR/bench-clips"
  mkdir -p "$clips"
}

bench_clip() {
  local file=$1 seconds=$2 size=$3 source=${4:-testsrc}
  [ -s "$clips/$file" ] || ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i "$source=duration=$seconds:size=$size:rate=25" -f lavfi -i "sine=frequency=440:duration=$seconds" \
    -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$clips/$file"
}

winpath() { echo "Z:$1" | tr '/' '\\'; }
