# Sourced by the scripts: a Wine prefix of the run's own, an X display (Xvfb unless told to use
# the caller's), and a running wineserver with a virtual desktop, so that test programs start in
# a few hundredths of a second and every window lives on one known desktop.
#
#   wine_up <state-dir> [fresh|keep] [xvfb|display] [desktop|nodesktop]
#   wine_set_dpi <dpi|default>   the prefix's display scale (144 is 150 percent); restarts Wine
#   wine_reset_dpi               back to the default scale, if a stopped run left another
#   wine_down

wine_free_display() {
  local n=90
  while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
  echo "$n"
}

. "$(dirname "${BASH_SOURCE[0]}")/host-arch.sh"

# Where 32-bit programs cannot run, `wine` (and `wine-stable`, which wineboot calls) must mean the
# 64-bit loader: Debian's wine script would pick the 32-bit one because it is installed.
wine_pick_loader() {
  if [ "$(quillet_host_bits)" = 32 ]; then
    export WINEARCH=win32
    return 0
  fi
  export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  mkdir -p "$1/loader"
  local name
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$1/loader/$name"
    chmod +x "$1/loader/$name"
  done
  case ":$PATH:" in *":$1/loader:"*) ;; *) export PATH="$1/loader:$PATH" ;; esac
}

wine_up() {
  local state=$1 mode=${2:-fresh} display=${3:-xvfb} desktop=${4:-desktop}
  mkdir -p "$state"
  state=$(cd "$state" && pwd) # Wine wants an absolute prefix path
  export WINEPREFIX="$state/prefix"
  wine_pick_loader "$state"
  export WINEDEBUG=-all
  # A crashing program ends at once instead of waiting in a debugger until the test times out.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # Only loopback is ever reached; Wine's HTTP stacks would follow a proxy from the environment.
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy all_proxy ALL_PROXY no_proxy NO_PROXY

  if [ "$display" = xvfb ] || [ -z "${DISPLAY:-}" ]; then
    local n; n=$(wine_free_display)
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi

  if [ "$mode" = fresh ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 </dev/null
    # The set-up made the desktop before any key asked for a virtual one, and a desktop once made
    # stays what it is while its server runs. Its own server ends with its last program (that
    # desktop included) and writes the prefix out; the server started below then makes the
    # desktop the keys ask for.
    if [ "$desktop" = desktop ]; then wine_virtual_desktop_keys; fi
    timeout 60 wineserver -w >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true
  fi
  # The server is started persistent before anything else, so that it outlives every program
  # of the run: one that Wine starts on demand quits with its last client, and each test would
  # then pay for a new server and the prefix's services. Already running is fine.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  if [ "$desktop" != desktop ]; then
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 </dev/null || true
    return 0
  fi
  # Without a window manager every destroyed window costs Wine a wait; the virtual desktop
  # avoids it and gives all windows one known screen. (A kept prefix may have had the keys
  # taken away by a run without it; nothing has made a desktop yet in this server.)
  wine_virtual_desktop_keys
  wine_desktop_up
}

wine_virtual_desktop_keys() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null || true
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1 </dev/null || true
}

# Starts the prefix's virtual desktop process unless it runs. Also for tests that run programs
# with windows in a prefix of their own: that ends the desktop process of every other prefix on
# the machine, and without it each later program would wait for a desktop of its own.
wine_desktop_up() {
  (wine explorer /desktop=Default,1280x800 >/dev/null 2>&1 </dev/null &)
  for _ in $(seq 1 50); do
    xwininfo -root -tree 2>/dev/null | grep -q 'Default - Wine desktop' && break
    sleep 0.2
  done
}

# Wine reads the prefix's LogPixels only when its server starts: the value is written, then the
# server and the virtual desktop are started again (about 2.5 s). Programs running in the prefix
# end with the server.
wine_set_dpi() {
  if [ "$1" = default ]; then
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 </dev/null || true
  else
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
  fi
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine_desktop_up
}

wine_reset_dpi() {
  if wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels >/dev/null 2>&1 </dev/null; then
    wine_set_dpi default
  fi
}

wine_down() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_XVFB_PID:-}" ]; then
    kill "$WINE_XVFB_PID" >/dev/null 2>&1 || true
    wait "$WINE_XVFB_PID" 2>/dev/null || true
    WINE_XVFB_PID=
  fi
}
