# What a Quillet installation holds (install rules of the "quillet" component) and the `installer`
# target that packs it into Quillet-<version>-setup.exe, a per-user NSIS setup program.
#   QUILLET_UPDATE_URL  the update service address written to tellanupdate.conf (empty: no file)
#   QUILLET_LIBVLC_SDK  (cmake/LibVlc.cmake) a Windows libVLC folder; its runtime is installed too
include(${CMAKE_CURRENT_LIST_DIR}/installer/NsisInstaller.cmake)

set(QUILLET_UPDATE_URL "" CACHE STRING
    "Update service address written to tellanupdate.conf beside Quillet.exe (empty: no file)")

install(TARGETS Quillet tellanupdate
        RUNTIME DESTINATION . COMPONENT quillet
        ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)

set(package_depends "")
if(QUILLET_UPDATE_URL)
  set(update_conf ${CMAKE_BINARY_DIR}/package/tellanupdate.conf)
  quillet_write_update_conf(${update_conf} "${QUILLET_UPDATE_URL}")
  install(FILES ${update_conf} DESTINATION . COMPONENT quillet)
  list(APPEND package_depends ${update_conf})
endif()

# A Windows libVLC distribution keeps libvlc.dll, libvlccore.dll and plugins/ in its top folder
# (its headers and import library under sdk/ or beside them); some layouts use bin/.
if(QUILLET_LIBVLC_SDK)
  set(LIBVLC_RUNTIME_DIR "")
  foreach(dir ${QUILLET_LIBVLC_SDK} ${QUILLET_LIBVLC_SDK}/bin)
    if(NOT LIBVLC_RUNTIME_DIR AND EXISTS ${dir}/libvlc.dll)
      set(LIBVLC_RUNTIME_DIR ${dir})
    endif()
  endforeach()
  if(LIBVLC_RUNTIME_DIR)
    set(libvlc_runtime ${LIBVLC_RUNTIME_DIR}/libvlc.dll)
    if(EXISTS ${LIBVLC_RUNTIME_DIR}/libvlccore.dll)
      list(APPEND libvlc_runtime ${LIBVLC_RUNTIME_DIR}/libvlccore.dll)
    else()
      message(WARNING "${LIBVLC_RUNTIME_DIR} has no libvlccore.dll: libvlc.dll will not load without it")
    endif()
    install(FILES ${libvlc_runtime} DESTINATION . COMPONENT quillet)
    list(APPEND package_depends ${libvlc_runtime})
    if(IS_DIRECTORY ${LIBVLC_RUNTIME_DIR}/plugins)
      install(DIRECTORY ${LIBVLC_RUNTIME_DIR}/plugins DESTINATION . COMPONENT quillet)
      file(GLOB_RECURSE libvlc_plugins ${LIBVLC_RUNTIME_DIR}/plugins/*)
      list(APPEND package_depends ${libvlc_plugins})
    else()
      message(WARNING "${LIBVLC_RUNTIME_DIR} has no plugins folder: libVLC will play nothing")
    endif()
  else()
    message(WARNING "QUILLET_LIBVLC_SDK=${QUILLET_LIBVLC_SDK} holds no libvlc.dll: "
                    "the installer will not include the libVLC runtime")
  endif()
endif()

if(MAKENSIS_EXECUTABLE)
  quillet_add_installer(installer
    OUTPUT ${CMAKE_BINARY_DIR}/Quillet-${PROJECT_VERSION}-setup.exe
    DEPENDS ${package_depends})
else()
  message(STATUS "makensis not found: no installer target (install Debian's nsis)")
endif()
