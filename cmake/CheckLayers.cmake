# Checks that the player's layers include only downwards, and fails (exit code 1) naming every
# include that reaches up. Run as: cmake -DROOT=<source tree> -P CheckLayers.cmake
#   videoplayer/playback   may not include videoplayer/ui or videoplayer/app
#   videoplayer/ui         may not include videoplayer/app
#   common                 may not include videoplayer or updater
#   and nothing outside videoplayer/app sees the application state (AppState.h).
# The tests of a layer keep to the same rule as the layer itself.
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers: ROOT not given")
endif()

set(rules
  "videoplayer/playback|videoplayer/(ui|app)/"
  "tests/videoplayer/playback|videoplayer/(ui|app)/"
  "videoplayer/ui|videoplayer/app/"
  "tests/videoplayer/ui|videoplayer/app/"
  "common|(videoplayer|updater)/"
  "videoplayer/playback|AppState\\.h"
  "videoplayer/ui|AppState\\.h"
  "updater|AppState\\.h")

set(violations "")
set(checked 0)
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(SUBLIST parts 1 -1 forbidden)
  string(REPLACE ";" "|" forbidden "${forbidden}")
  file(GLOB_RECURSE files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.c")
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
      if(included MATCHES "${forbidden}")
        file(RELATIVE_PATH rel "${ROOT}" "${file}")
        string(APPEND violations "  ${rel} includes ${included} (${folder} may not reach ${forbidden})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "CheckLayers: no sources under ${ROOT}")
endif()
if(violations)
  message(FATAL_ERROR "Includes that reach up a layer:\n${violations}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
