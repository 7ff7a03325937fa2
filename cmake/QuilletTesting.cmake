# GoogleTest built with the cross compiler, and quillet_add_test(): one test program per folder,
# each of its cases a ctest test run through Wine. GUI tests share one Wine desktop, so they take
# a resource lock and run one at a time.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# quillet_add_test(<name> SOURCES <files...> [LIBS <libs...>] [GUI] [TIMEOUT <s>]
#                  [PROPERTIES <ctest properties...>] [LABEL <label> <gtest filter>])
# LABEL gives the cases the filter matches that ctest label, so that a run can pick them out.
function(quillet_add_test name)
  cmake_parse_arguments(arg "GUI" "TIMEOUT" "SOURCES;LIBS;PROPERTIES;LABEL" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} gtest gtest_main)
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  set(props TIMEOUT ${arg_TIMEOUT})
  if(arg_GUI)
    list(APPEND props RESOURCE_LOCK wine_desktop)
  endif()
  list(APPEND props ${arg_PROPERTIES})
  set(filter "*")
  if(arg_LABEL)
    list(GET arg_LABEL 0 label)
    list(GET arg_LABEL 1 labelled)
    set(filter "-${labelled}")
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
      TEST_FILTER ${labelled}
      PROPERTIES ${props} LABELS ${label})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
    TEST_FILTER ${filter}
    PROPERTIES ${props})
endfunction()

# The Windows form of a path on this machine, as a program under Wine sees it (drive Z:).
function(quillet_wine_path out path)
  string(REPLACE "/" "\\" windows "Z:${path}")
  set(${out} "${windows}" PARENT_SCOPE)
endfunction()
