# Sourced by the benchmarks: a Windows program's Linux side under Wine, for the figures Wine
# does not report through the Windows calls (resident memory, and CPU time of another process).
#
#   wine_process_pid <exe name>   the Linux pid of that program in this run's WINEPREFIX
#   wine_process_rss_kb <pid>     its resident memory (VmRSS), in kB
#   wine_process_cpu_ms <pid>     its user plus system CPU time so far, in ms

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
