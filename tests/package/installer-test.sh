#!/usr/bin/env bash
# Installs the setup program silently into a fresh Wine prefix of its own and checks the files,
# the update address, the shortcut, the uninstall entry and that the installed player binds libVLC
# on first use; starts and closes the installed player; uninstalls silently and checks that the
# installation is gone while the player's saved placement stays; then repeats in a folder of the
# user's choice that also holds a file of the user's.
#   installer-test.sh <setup.exe> <staged files folder> <run_and_close.exe> <update URL> <work dir>
# Runs on an X display of its own (Xvfb), so that neither its prefix nor its windows meet the
# caller's Wine prefix and desktop, where the other GUI tests run.
set -uo pipefail
setup=$1 staged=$2 helper=$3 url=$4 work=$5

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet'
settings_key='HKCU\Software\Tellan Media Player'
# A WINDOWPLACEMENT of 44 bytes: normal state, restored rectangle 100,120 - 900,700.
placement=2c0000000000000001000000ffffffffffffffffffffffffffffffff640000007800000084030000bc020000

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
fatal() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$setup" ] || fatal "no installer at $setup"

rm -rf "$work"
mkdir -p "$work"
# The run's own prefix and display (set by scripts/test.sh), whose desktop this test restores.
run_prefix=${WINEPREFIX:-} run_display=${DISPLAY:-}
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# win32, or win64 with `wine` meaning wine64 where 32-bit programs cannot run.
. "$(dirname "$0")/../../scripts/lib/wine-env.sh"
. "$(dirname "$0")/../../scripts/lib/pe-check.sh"
wine_pick_loader "$work"
# No menu entries or file associations on the host for what the installer creates.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY
display=90
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

cleanup() {
  # Every process of this prefix must be gone before its files are: one left running would
  # start a new server that rebuilds the prefix in the background.
  wineserver -k >/dev/null 2>&1
  timeout 30 wineserver -w >/dev/null 2>&1
  kill "$xvfb" >/dev/null 2>&1
  wait "$xvfb" 2>/dev/null
  rm -rf "$work"
  # Running this prefix's programs ended the desktop process of the run's prefix; the GUI tests
  # after this one need it back.
  if [ -n "$run_prefix" ] && [ -n "$run_display" ]; then
    (export WINEPREFIX="$run_prefix" DISPLAY="$run_display"
     . "$(dirname "$0")/../../scripts/lib/wine-env.sh" && wine_desktop_up)
  fi
}
trap cleanup EXIT

w() { wine "$@" </dev/null; }

# reg_value <key> <name>: the value's data as `reg query` shows it; fails when there is none.
reg_value() {
  local out
  out=$(w reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
  awk -v name="$2" '
    $1 == name { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]*/, ""); print; found = 1; exit }
    END { exit !found }' <<<"$out"
}
key_exists() { w reg query "$1" >/dev/null 2>&1; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r' | sed 's:/*$::'; }
expand() { w cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }

# check_installed <unix folder>: every staged file is there with the staged contents.
check_installed() {
  local dir=$1 file count=0
  while IFS= read -r file; do
    count=$((count + 1))
    cmp -s "$staged/$file" "$dir/$file" || fail "$file is missing or differs in $dir"
  done < <(cd "$staged" && find . -type f | sed 's:^\./::')
  [ "$count" -gt 0 ] || fail "nothing was staged in $staged"
  [ -f "$dir/Uninstall.exe" ] || fail "no Uninstall.exe in $dir"
}

# check_removed <unix folder> [files]: no staged file or folder (only files with "files") and no
# uninstaller is left.
check_removed() {
  local dir=$1 kinds=${2:-all} entry
  while IFS= read -r entry; do
    if [ -d "$dir/$entry" ]; then
      [ "$kinds" = files ] || fail "folder $entry was left in $dir"
    elif [ -e "$dir/$entry" ]; then
      fail "$entry was left in $dir"
    fi
  done < <(cd "$staged" && find . -mindepth 1 | sed 's:^\./::')
  [ -e "$dir/Uninstall.exe" ] && fail "Uninstall.exe was left in $dir"
  true
}

# uninstall <uninstall string>: runs it with /S. The NSIS uninstaller copies itself to the Temp
# folder and lets the caller go at once, so wait for its last step, the uninstall entry's removal.
uninstall() {
  local command=$1 program
  program=$(sed -e 's/^"\([^"]*\)".*$/\1/' <<<"$command")
  w "$program" /S || fail "the uninstaller exited with $?"
  for _ in $(seq 1 120); do
    key_exists "$uninstall_key" || break
    sleep 0.5
  done
  key_exists "$uninstall_key" && fail "the uninstall entry is still there after 60 s"
  # Let the copy in Temp finish deleting itself.
  timeout 60 wineserver -w
}

echo "== new Wine prefix"
wineboot -i >/dev/null 2>&1 </dev/null || fatal "wineboot failed"
w reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

version=$(i686-w64-mingw32-strings -el -n 3 "$setup" | grep -A1 -x ProductVersion | sed -n 2p)
[ "$version" = 1.1 ] || fail "the installer's ProductVersion is '$version', not 1.1"

echo "== silent install into the default folder"
w "$setup" /S || fatal "the silent install exited with $?"
key_exists "$uninstall_key" || fatal "no uninstall entry under $uninstall_key"
[ "$(reg_value "$uninstall_key" DisplayName)" = Quillet ] || fail "DisplayName is not Quillet"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = 1.1 ] || fail "DisplayVersion is not 1.1"
[ -n "$(reg_value "$uninstall_key" Publisher)" ] || fail "no Publisher"
key_exists 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet' &&
  fail "an uninstall entry was written for all users"

location=$(reg_value "$uninstall_key" InstallLocation)
dir=$(unix_path "$location")
expected=$(unix_path "$(expand '%LOCALAPPDATA%')\\Programs\\Quillet")
[ -n "$dir" ] && [ "$dir" = "$expected" ] ||
  fail "installed into '$location' ($dir), not the per-user folder $expected"
uninstall_string=$(reg_value "$uninstall_key" UninstallString)
[ "$uninstall_string" = "\"$location\\Uninstall.exe\"" ] ||
  fail "UninstallString is '$uninstall_string'"
[ "$(reg_value "$uninstall_key" QuietUninstallString)" = "$uninstall_string /S" ] ||
  fail "QuietUninstallString is not the UninstallString with /S"

for file in Quillet.exe tellanupdate.dll tellanupdate.conf libvlc.dll libvlccore.dll \
            plugins/plugins.dat plugins/codec/libplaceholder_plugin.dll; do
  [ -f "$staged/$file" ] || fail "$file was not staged for the installer"
done
check_installed "$dir"
# The packaged player binds libVLC on first use, as the tested one does, so it can tell the user
# itself when libvlc.dll is missing or broken.
pe_check_binds_on_first_use "$dir/Quillet.exe" libvlc.dll ||
  fail "the installed Quillet.exe binds libVLC at load time"
printf '[Global]\r\nURL=%s\r\n' "$url" | cmp -s - "$dir/tellanupdate.conf" ||
  fail "tellanupdate.conf does not hold [Global] URL=$url"

shortcut="$(unix_path "$(expand '%APPDATA%')")/Microsoft/Windows/Start Menu/Programs/Quillet.lnk"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
[ -f "$shortcut" ] && ! i686-w64-mingw32-strings -a -n 8 "$shortcut" | grep -qiF "$location\\Quillet.exe" &&
  fail "the shortcut does not point at $location\\Quillet.exe"

echo "== the installed player starts, shows its window and closes with exit code 0"
w "$helper" "$location\\Quillet.exe" 60
code=$?
[ "$code" -eq 0 ] || fail "the installed player run ended with $code"

echo "== silent uninstall keeps the saved placement"
w reg add "$settings_key" /v MAIN_WP /t REG_BINARY /d "$placement" /f >/dev/null ||
  fatal "could not write MAIN_WP"
uninstall "$uninstall_string"
check_removed "$dir"
[ -e "$dir" ] && fail "the installation folder $dir is still there"
[ -e "$shortcut" ] && fail "the Start-menu shortcut is still there"
if stored=$(reg_value "$settings_key" MAIN_WP); then
  [ "${stored,,}" = "$placement" ] || fail "MAIN_WP changed to $stored"
else
  fail "MAIN_WP was removed"
fi

echo "== install into a chosen folder holding a file of the user's, then uninstall"
chosen='C:\users\Public\My Programs\Quillet'
# /D= takes the rest of the command line, blanks included, and must not be quoted.
w cmd /c "$(winepath -w "$setup" | tr -d '\r') /S /D=$chosen" ||
  fatal "the silent install into $chosen exited with $?"
location=$(reg_value "$uninstall_key" InstallLocation)
[ "$location" = "$chosen" ] || fail "installed into '$location', not the chosen $chosen"
dir=$(unix_path "$chosen")
check_installed "$dir"
echo "my notes" >"$dir/notes.txt"
mkdir -p "$dir/plugins/mine" && echo "my plugin" >"$dir/plugins/mine/extra.dll"
uninstall "$(reg_value "$uninstall_key" UninstallString)"
[ -f "$dir/notes.txt" ] && [ -f "$dir/plugins/mine/extra.dll" ] ||
  fail "the uninstaller removed files it had not installed"
check_removed "$dir" files
reg_value "$settings_key" MAIN_WP >/dev/null || fail "MAIN_WP was removed by the second uninstall"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installer: all checks passed"
