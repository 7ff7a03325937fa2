# Sourced by the scripts and tests: what a built Windows program binds when it loads and what a
# DLL exports, read from its tables with mingw-w64's objdump.
#
#   pe_load_time_imports <file>        the DLLs it binds when it loads, one a line, in lower case
#   pe_exports <file>                  the names it exports, one a line
#   pe_check_binds_on_first_use <exe> <dll>
#                                      fails, saying why, when <exe> binds <dll> at load time
#   pe_check_delay_slots <file>        fails, naming the DLL, when a slot of a DLL bound on first
#                                      use holds nothing to call (the first call would crash)

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

# The 32-bit value at virtual address $2 of file $1, from the section that holds it.
pe_word_at() {
  local file=$1 va=$(( $2 )) name size vma off
  while read -r name size vma off; do
    if (( va >= 0x$vma && va + 4 <= 0x$vma + 0x$size )); then
      od -An -tu4 -j $(( 0x$off + va - 0x$vma )) -N 4 "$file" | tr -d ' '
      return 0
    fi
  done < <(i686-w64-mingw32-objdump -h "$file" | awk '$1 ~ /^[0-9]+$/ { print $2, $3, $4, $6 }')
  echo "no section of $file holds address $va" >&2
  return 1
}

# mingw-w64's delay-import descriptors are found by their symbols; each gives the DLL's slots and
# the names they are bound to, as offsets from the image base. Until the first call a slot holds
# the address of the stub that binds it, never zero.
pe_check_delay_slots() {
  local file=$1 base descriptor slots names slot name index failed=0
  base=$(( 0x$(pe_dump "$file" | awk '$1 == "ImageBase" { print $2 }') ))
  for descriptor in $(i686-w64-mingw32-nm "$file" | awk '$3 ~ /DELAY_IMPORT_DESCRIPTOR/ { print $1 }'); do
    slots=$(pe_word_at "$file" $(( 0x$descriptor + 12 ))) || return 1
    names=$(pe_word_at "$file" $(( 0x$descriptor + 16 ))) || return 1
    for (( index = 0; ; index++ )); do
      name=$(pe_word_at "$file" $(( base + names + 4 * index ))) || return 1
      [ "$name" -ne 0 ] || break
      slot=$(pe_word_at "$file" $(( base + slots + 4 * index ))) || return 1
      if [ "$slot" -eq 0 ]; then
        echo "$file: slot $index of the DLL whose descriptor is at 0x$descriptor holds nothing:" \
             "its first call would jump to address zero" >&2
        failed=1
      fi
    done
  done
  return $failed
}
