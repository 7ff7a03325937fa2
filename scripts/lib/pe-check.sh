# Sourced by the scripts and tests: what a built Windows program binds when it loads and what a
# DLL exports, read from its tables with mingw-w64's objdump.
#
#   pe_load_time_imports <file>        the DLLs it binds when it loads, one a line, in lower case
#   pe_exports <file>                  the names it exports, one a line
#   pe_check_binds_on_first_use <exe> <dll>
#                                      fails, saying why, when <exe> binds <dll> at load time

# The 64-bit objdump reads both formats; a machine that builds only the 32-bit program has the
# 32-bit one alone.
pe_dump() {
  local tool
  for tool in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null 2>&1 && "$tool" -p "$1" 2>/dev/null && return 0
  done
  echo "no mingw-w64 objdump reads $1" >&2
  return 1
}

pe_load_time_imports() {
  local dump
  dump=$(pe_dump "$1") || return 1
  # Only the import table proper, which ends at the next heading: delay-loaded DLLs are listed
  # apart, if at all.
  awk '/^The Import Tables/ { inside = 1; next }
       /^[A-Za-z]/ { inside = 0 }
       inside && /DLL Name:/ { print tolower($3) }' <<<"$dump"
}

pe_exports() {
  local dump
  dump=$(pe_dump "$1") || return 1
  awk '/^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
       inside && /^[ \t]*$/ { inside = 0 }
       inside { print $NF }' <<<"$dump"
}

pe_check_binds_on_first_use() {
  local exe=$1 dll=${2,,} imports
  imports=$(pe_load_time_imports "$exe") || return 1
  # Every program binds kernel32 when it loads: without it the table was not read at all.
  if ! grep -qx kernel32.dll <<<"$imports"; then
    echo "$exe: no import table found (is it a Windows program?)" >&2
    return 1
  fi
  if grep -qx "$dll" <<<"$imports"; then
    echo "$exe binds $dll when it loads: a missing or broken $dll would stop it before its window" \
         "exists, with the system loader's message instead of its own" >&2
    return 1
  fi
}
