# quillet_delay_import(<target> <PUBLIC|PRIVATE|INTERFACE> <system library>...)
#
# Links <target> against system DLLs that are bound on their first call instead of when the
# program loads. A DLL the program may never call (the update library's HTTP stacks when no update
# is due, the file dialog's) then costs nothing at start-up, and its own imports are not loaded
# either. These are system DLLs present on every Windows, so their loading is not checked.
#
# With MSVC this is /DELAYLOAD. With mingw-w64 a delay-import library is made at configure time
# from the toolchain's own import library: every function it names, with the 32-bit stdcall
# decorations it carries (the DLL exports the plain names, hence dlltool --kill-at).
# quillet_make_delay_library(<def file> <dll name> <library out> [KILL_AT] [CALLED_THROUGH_SLOTS])
#
# dlltool's delay-import library for the functions the .def file names. Each function has a small
# stub whose address its import slot holds until the first call binds it. The 32-bit linker drops
# every stub of an import library that nothing calls by its own name, taking it for dead code:
# where the headers declare the functions imported (CALLED_THROUGH_SLOTS, as the system's do),
# every call goes through the slot, the slot is left holding zero, and the first call jumps there.
# Made local, a stub is no longer one the linker looks for, so it stays. (libVLC's headers do not
# declare their functions imported: its stubs are called by name and kept.)
function(quillet_make_delay_library def dll out)
  set(kill_at)
  if("KILL_AT" IN_LIST ARGN)
    set(kill_at -k)
  endif()
  execute_process(COMMAND ${CMAKE_DLLTOOL} ${kill_at} -d ${def} -y ${out} -D ${dll}
                  RESULT_VARIABLE dlltool_result)
  if(NOT dlltool_result EQUAL 0)
    message(FATAL_ERROR "dlltool could not make the delay-import library for ${dll}")
  endif()
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4 OR NOT "CALLED_THROUGH_SLOTS" IN_LIST ARGN)
    return()
  endif()
  file(STRINGS ${def} names REGEX "^  [A-Za-z0-9_@]+$")
  list(TRANSFORM names REPLACE "^  " "_")  # the 32-bit C name's underscore
  list(JOIN names "\n" stub_text)
  file(WRITE ${out}.stubs "${stub_text}\n")
  string(REGEX REPLACE "dlltool$" "objcopy" objcopy_tool ${CMAKE_DLLTOOL})
  execute_process(COMMAND ${objcopy_tool} --localize-symbols=${out}.stubs ${out}
                  RESULT_VARIABLE objcopy_result)
  if(NOT objcopy_result EQUAL 0)
    message(FATAL_ERROR "objcopy could not keep the delay-import stubs of ${dll}")
  endif()
endfunction()

function(quillet_delay_import target scope)
  foreach(library IN LISTS ARGN)
    if(MSVC)
      target_link_libraries(${target} ${scope} ${library} delayimp)
      target_link_options(${target} ${scope} /DELAYLOAD:${library}.dll)
      continue()
    endif()
    set(delay_lib ${CMAKE_BINARY_DIR}/delay-import/lib${library}_delay.a)
    if(NOT EXISTS ${delay_lib})
      find_library(QUILLET_IMPORT_${library} NAMES lib${library}.a ${library})
      if(NOT QUILLET_IMPORT_${library})
        message(FATAL_ERROR "No import library for ${library}.dll in the toolchain")
      endif()

      string(REGEX REPLACE "dlltool$" "nm" nm_tool ${CMAKE_DLLTOOL})
      execute_process(COMMAND ${nm_tool} ${QUILLET_IMPORT_${library}}
                      OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result ERROR_QUIET)
      if(NOT nm_result EQUAL 0)
        message(FATAL_ERROR "Could not list ${QUILLET_IMPORT_${library}}")
      endif()
      string(REGEX MATCHALL "I __imp_[A-Za-z0-9_@]+" imports "${symbols}")
      set(def_text "LIBRARY ${library}.dll\nEXPORTS\n")
      foreach(import IN LISTS imports)
        string(REGEX REPLACE "^I __imp_" "" name "${import}")
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
          string(REGEX REPLACE "^_" "" name "${name}")  # the 32-bit C name's underscore
        endif()
        string(APPEND def_text "  ${name}\n")
      endforeach()
      file(WRITE ${CMAKE_BINARY_DIR}/delay-import/${library}.def "${def_text}")
      quillet_make_delay_library(${CMAKE_BINARY_DIR}/delay-import/${library}.def ${library}.dll ${delay_lib}
                                 KILL_AT CALLED_THROUGH_SLOTS)
    endif()
    target_link_libraries(${target} ${scope} ${delay_lib})
  endforeach()
endfunction()
