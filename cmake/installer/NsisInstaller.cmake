# quillet_add_installer(): a target that builds a Quillet setup program with makensis from the
# files the install rules of the "quillet" component put in place, plus extra files.
include_guard(GLOBAL)

find_program(MAKENSIS_EXECUTABLE makensis)
set(QUILLET_INSTALLER_DIR ${CMAKE_CURRENT_LIST_DIR})

# Writes the updater's configuration file: an INI file with the update address in [Global] URL.
# The updater reads it with GetPrivateProfileStringW into 260 characters (ANSI code page, blanks
# trimmed), so anything that would not come back as written is refused here instead of silently
# turning updates off on the user's machine.
function(quillet_write_update_conf file url)
  string(LENGTH "${url}" length)
  if(length GREATER 259)
    message(FATAL_ERROR "Update URL has ${length} characters; the updater reads at most 259")
  endif()
  if(NOT url MATCHES "^[Hh][Tt][Tt][Pp][Ss]?://[!-~]+$")
    message(FATAL_ERROR "Update URL \"${url}\" must be an http:// or https:// address of printable "
                        "ASCII characters without blanks (percent-encode anything else)")
  endif()
  file(CONFIGURE OUTPUT ${file} CONTENT "[Global]\nURL=@url@\n" @ONLY NEWLINE_STYLE CRLF)
endfunction()

# quillet_add_installer(<target> OUTPUT <setup.exe> [ALL] [UPDATE_URL <url>]
#                       [ADD <source> <destination>...] [DEPENDS <files>...])
#   UPDATE_URL  writes tellanupdate.conf with this address (over one from the install rules).
#   ADD         pairs of a file or folder (generator expressions allowed) and its path in the
#               installation folder; a folder's contents are copied into the destination.
#   DEPENDS     further files whose change must rebuild the setup program.
function(quillet_add_installer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "ALL" "OUTPUT;UPDATE_URL" "ADD;DEPENDS")
  if(NOT arg_OUTPUT)
    message(FATAL_ERROR "quillet_add_installer(${target}): OUTPUT is required")
  endif()
  list(LENGTH arg_ADD add_count)
  math(EXPR add_odd "${add_count} % 2")
  if(add_odd)
    message(FATAL_ERROR "quillet_add_installer(${target}): ADD takes source and destination pairs")
  endif()

  set(work ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set(nsi ${QUILLET_INSTALLER_DIR}/Quillet.nsi)
  set(stage_script ${QUILLET_INSTALLER_DIR}/StageInstaller.cmake)
  set(extra ${arg_ADD})
  set(depends Quillet tellanupdate ${nsi} ${stage_script} ${PROJECT_SOURCE_DIR}/videoplayer/res/player.ico
              ${arg_DEPENDS})
  if(arg_UPDATE_URL)
    quillet_write_update_conf(${work}/tellanupdate.conf "${arg_UPDATE_URL}")
    list(APPEND extra ${work}/tellanupdate.conf tellanupdate.conf)
  endif()
  foreach(index RANGE 0 ${add_count} 2)
    if(index LESS add_count)
      list(GET arg_ADD ${index} source)
      if(IS_DIRECTORY "${source}")
        file(GLOB_RECURSE folder_files "${source}/*")
        list(APPEND depends ${folder_files})
      else()
        list(APPEND depends "${source}")
      endif()
    endif()
  endforeach()
  file(GENERATE OUTPUT ${work}/stage-inputs.cmake CONTENT "set(STAGE_EXTRA [==[${extra}]==])\n")

  set(strip OFF)
  if(CMAKE_STRIP)
    set(strip ON)
  endif()
  set(target_arg "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(target_arg -DQUILLET_TARGET=amd64-unicode)
  endif()
  quillet_version_quad(version_quad ${PROJECT_VERSION} ${QUILLET_VERSION_CODE})
  add_custom_command(OUTPUT ${arg_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DWORK_DIR=${work} -DCOMPONENT=quillet
            -DSTRIP=${strip} -P ${stage_script}
    COMMAND ${MAKENSIS_EXECUTABLE} -INPUTCHARSET UTF8 -V2 -WX
            -DQUILLET_VERSION=${PROJECT_VERSION} -DQUILLET_VERSION_QUAD=${version_quad}
            -DQUILLET_STAGE=${work} -DQUILLET_ICON=${PROJECT_SOURCE_DIR}/videoplayer/res/player.ico
            -DQUILLET_OUTFILE=${arg_OUTPUT} ${target_arg} ${nsi}
    DEPENDS ${depends} ${work}/stage-inputs.cmake
    COMMENT "Building the installer ${arg_OUTPUT}"
    VERBATIM)
  if(arg_ALL)
    add_custom_target(${target} ALL DEPENDS ${arg_OUTPUT})
  else()
    add_custom_target(${target} DEPENDS ${arg_OUTPUT})
  endif()
endfunction()
