# Cross-compiles for 32-bit Windows with Debian's mingw-w64 (posix thread model, so std::thread and
# std::mutex exist) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
# toolchain-mingw64.cmake sets these three for the 64-bit test build before including this file.
if(NOT QUILLET_MINGW_TRIPLET)
  set(QUILLET_MINGW_TRIPLET i686-w64-mingw32)
  set(QUILLET_MINGW_PROCESSOR x86)
  set(QUILLET_WINE_LOADER wine)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${QUILLET_MINGW_PROCESSOR})

set(TOOLCHAIN_PREFIX ${QUILLET_MINGW_TRIPLET})
set(CMAKE_C_COMPILER   /usr/bin/${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_DLLTOOL      /usr/bin/${TOOLCHAIN_PREFIX}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A static runtime: the binaries need system DLLs and libVLC only.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(WINE_EXECUTABLE NAMES ${QUILLET_WINE_LOADER} PATHS /usr/lib/wine)
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
endif()
