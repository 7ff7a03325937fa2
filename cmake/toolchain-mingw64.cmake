# Cross-compiles for 64-bit Windows and runs the results under wine64: the test build for machines
# whose kernel runs no 32-bit programs (see scripts/lib/host-arch.sh). Otherwise as the 32-bit one.
set(QUILLET_MINGW_TRIPLET x86_64-w64-mingw32)
set(QUILLET_MINGW_PROCESSOR AMD64)
set(QUILLET_WINE_LOADER wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw32.cmake)
