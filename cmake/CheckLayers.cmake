# Checks that the player's layers include only downwards, and fails (exit code 1) naming every
# include that reaches up. Run as: cmake -DROOT=<source tree> -P CheckLayers.cmake
#   videoplayer/playback   may not include videoplayer/ui or videoplayer/app
#   videoplayer/ui         may not include videoplayer/app
#   common                 may not include videoplayer or updater
#   and nothing outside videoplayer/app sees the application state (AppState.h).
# The tests of a layer keep to the same rule as the layer itself.
# Every include is judged by the file it names: a quoted one is looked up beside the including file
# first, as the compiler does (so "../app/AppState.h" is videoplayer/app/AppState.h), then from the
# root; one in angle brackets counts when it names a file in one of the project's own folders.
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers: ROOT not given")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
set(project_folders "common|videoplayer|updater|wine|tests|bench")

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
    get_filename_component(beside "${file}" DIRECTORY)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
      if(line MATCHES "^[^\"<]*\"([^\"]*)\"")
        set(written "${CMAKE_MATCH_1}")
        set(shown "${written}")
        if(written MATCHES "^\\.\\.?/" OR EXISTS "${beside}/${written}")
          get_filename_component(resolved "${beside}/${written}" ABSOLUTE)
          file(RELATIVE_PATH included "${ROOT}" "${resolved}")
          if(NOT included STREQUAL written)
            set(shown "${written} (that is ${included})")
          endif()
        else()
          set(included "${written}")
        endif()
      elseif(line MATCHES "^[^<]*<([^>]*)>")
        set(included "${CMAKE_MATCH_1}")
        set(shown "<${included}>")
        if(NOT included MATCHES "^(${project_folders})/")
          continue() # a system or library header
        endif()
      else()
        continue()
      endif()
      if(included MATCHES "${forbidden}")
        file(RELATIVE_PATH rel "${ROOT}" "${file}")
        string(APPEND violations "  ${rel} includes ${shown} (${folder} may not reach ${forbidden})\n")
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
