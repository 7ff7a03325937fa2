# Makes the imported target `libvlc`: the libVLC headers and an import library for libvlc.dll that
# binds it on first use, so the player starts without waiting for the library and reports a
# missing or broken one itself (videoplayer/playback/LibVlcLoader). The headers come from a
# Windows libVLC folder (QUILLET_LIBVLC_SDK, as a release is built) or else from the system
# (Debian's libvlc-dev); the import library is made from cmake/libvlc.exports, the one list of the
# functions the player calls, either way: the program a release ships binds libVLC exactly as the
# tested one does. MSVC links the folder's own import library with /DELAYLOAD, which binds alike.
set(QUILLET_LIBVLC_SDK "" CACHE PATH "Folder of a Windows libVLC SDK (holds include/vlc and lib/)")
set(LIBVLC_EXPORTS ${CMAKE_CURRENT_LIST_DIR}/libvlc.exports)

add_library(libvlc_headers INTERFACE)
add_library(libvlc INTERFACE)
target_link_libraries(libvlc INTERFACE libvlc_headers)

if(QUILLET_LIBVLC_SDK)
  # The SDK folder is a host path: the toolchain's find root (the mingw sysroot) must not apply.
  # Searched afresh at every configure, so a folder given earlier never stays in use.
  unset(LIBVLC_SDK_INCLUDE CACHE)
  find_path(LIBVLC_SDK_INCLUDE vlc/vlc.h
            PATHS ${QUILLET_LIBVLC_SDK}/include ${QUILLET_LIBVLC_SDK}/sdk/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT LIBVLC_SDK_INCLUDE)
    message(FATAL_ERROR "QUILLET_LIBVLC_SDK=${QUILLET_LIBVLC_SDK} has no include/vlc/vlc.h")
  endif()
  target_include_directories(libvlc_headers SYSTEM INTERFACE ${LIBVLC_SDK_INCLUDE})
  if(MSVC)
    unset(LIBVLC_SDK_IMPLIB CACHE)
    find_library(LIBVLC_SDK_IMPLIB NAMES libvlc.lib libvlc
                 PATHS ${QUILLET_LIBVLC_SDK}/lib ${QUILLET_LIBVLC_SDK}/sdk/lib
                 NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT LIBVLC_SDK_IMPLIB)
      message(FATAL_ERROR "QUILLET_LIBVLC_SDK=${QUILLET_LIBVLC_SDK} has no lib/libvlc.lib")
    endif()
    target_link_libraries(libvlc INTERFACE ${LIBVLC_SDK_IMPLIB} delayimp)
    target_link_options(libvlc INTERFACE /DELAYLOAD:libvlc.dll)
    return()
  endif()
else()
  # The system headers sit in /usr/include, which must not become an include folder of the
  # Windows build: expose only its vlc/ folder through a folder of our own.
  find_path(LIBVLC_SYSTEM_INCLUDE vlc/vlc.h PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT LIBVLC_SYSTEM_INCLUDE)
    message(FATAL_ERROR "libVLC headers not found: install libvlc-dev or set QUILLET_LIBVLC_SDK")
  endif()
  set(LIBVLC_HEADER_DIR ${CMAKE_BINARY_DIR}/libvlc-sdk/include)
  file(MAKE_DIRECTORY ${LIBVLC_HEADER_DIR})
  file(CREATE_LINK ${LIBVLC_SYSTEM_INCLUDE}/vlc ${LIBVLC_HEADER_DIR}/vlc SYMBOLIC)
  target_include_directories(libvlc_headers SYSTEM INTERFACE ${LIBVLC_HEADER_DIR})
endif()

# libvlc.exports -> libvlc.def -> delay-load import library, at configure time. (mingw-w64's
# runtime holds the binder it calls, __delayLoadHelper2.)
file(STRINGS ${LIBVLC_EXPORTS} export_lines REGEX "^@ cdecl ")
set(def_text "LIBRARY libvlc.dll\nEXPORTS\n")
foreach(line IN LISTS export_lines)
  string(REGEX REPLACE "^@ cdecl ([A-Za-z0-9_]+).*" "\\1" name "${line}")
  string(APPEND def_text "  ${name}\n")
endforeach()
set(LIBVLC_DEF ${CMAKE_BINARY_DIR}/libvlc-sdk/libvlc.def)
file(WRITE ${LIBVLC_DEF} "${def_text}")
set(LIBVLC_IMPLIB ${CMAKE_BINARY_DIR}/libvlc-sdk/libvlc.dll.a)
quillet_make_delay_library(${LIBVLC_DEF} libvlc.dll ${LIBVLC_IMPLIB})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LIBVLC_EXPORTS})

target_link_libraries(libvlc INTERFACE ${LIBVLC_IMPLIB})
