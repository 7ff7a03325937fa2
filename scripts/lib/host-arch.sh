# Sourced by the scripts: which Windows build this machine can run under Wine.
#
# Quillet ships as a 32-bit program and is tested as one wherever the kernel runs 32-bit Linux
# programs, which Wine's 32-bit loader is. Some virtual machines switch that off ("32-bit
# emulation disabled"); there the same sources are built for 64-bit Windows and tested under
# wine64 instead, so the tests still exercise the real Windows program.
#
#   quillet_host_bits   prints 32 or 64
#   quillet_preset      prints the CMake preset for this machine (mingw or mingw64)

quillet_host_bits() {
  if [ -n "${QUILLET_HOST_BITS:-}" ]; then echo "$QUILLET_HOST_BITS"; return; fi
  # A 96-byte i386 program that exits with 42: anything else (the kernel refusing it, or a shell
  # falling back to reading it as a script) means 32-bit programs do not run here.
  local probe rc
  probe=$(mktemp)
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >"$probe"
  chmod +x "$probe"
  rc=0; "$probe" >/dev/null 2>&1 || rc=$?
  rm -f "$probe"
  # An emulator registered for i386 programs (qemu-user through binfmt_misc) runs the probe too,
  # but Wine's 32-bit loader cannot start under it: that counts as no 32-bit support.
  if [ "$rc" = 42 ] && ! quillet_i386_emulated; then QUILLET_HOST_BITS=32; else QUILLET_HOST_BITS=64; fi
  export QUILLET_HOST_BITS
  echo "$QUILLET_HOST_BITS"
}

quillet_i386_emulated() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    grep -qx enabled "$entry" 2>/dev/null && grep -q '^magic 7f454c46010101000000000000000000020003' "$entry" 2>/dev/null &&
      return 0
  done
  return 1
}

quillet_preset() {
  if [ "$(quillet_host_bits)" = 32 ]; then echo mingw; else echo mingw64; fi
}
