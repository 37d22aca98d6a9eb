# Installing the game itself: include this file from the folder that defines the
# game's executable and call
#
#   include(${PROJECT_SOURCE_DIR}/desktop/InstallProgram.cmake)
#   zorbalin_install_program(zorbalin)
#
# It installs, under the install prefix (DESTDIR honoured):
#   ${ZORBALIN_PROGRAM_INSTALL_DIR}/<program>  the executable
#   ${ZORBALIN_PROGRAM_INSTALL_DIR}/Ico/       the pebble pictures, which the program reads beside itself
# in the install component "program", and
#   ${CMAKE_INSTALL_BINDIR}/zorbalin           the launcher that starts the program
# in the component "launcher". The desktop entry, icons and metainfo are installed
# by desktop/CMakeLists.txt; the Debian package has a launcher of its own (Package.cmake).
include_guard(GLOBAL)
include(GNUInstallDirs)

set(ZORBALIN_APP_ID "hu.zorbalin.ZorbaLin" CACHE INTERNAL
    "Reverse-DNS id of the program: desktop entry, icon and window class")
set(ZORBALIN_PROGRAM_INSTALL_DIR "lib/zorbalin" CACHE STRING
    "Folder of the program and its Ico/ pictures, relative to the install prefix")

# Writes the launcher for the program file ProgramFile into OutputVariable's path. An optional
# third argument names the launcher's folder relative to the prefix (default: the bin folder).
function(zorbalin_configure_launcher ProgramFile OutputVariable)
  set(bindir "${CMAKE_INSTALL_BINDIR}")
  set(launcher "${PROJECT_BINARY_DIR}/desktop/launcher/zorbalin")
  if(ARGC GREATER 2)
    set(bindir "${ARGV2}")
    set(launcher "${PROJECT_BINARY_DIR}/desktop/launcher-${ARGV2}/zorbalin")
  endif()
  set(prefix "/zorbalin-prefix")
  file(RELATIVE_PATH ZORBALIN_LAUNCHER_TO_PROGRAM
       "${prefix}/${bindir}" "${prefix}/${ZORBALIN_PROGRAM_INSTALL_DIR}")
  if(ZORBALIN_LAUNCHER_TO_PROGRAM STREQUAL "")
    set(ZORBALIN_LAUNCHER_TO_PROGRAM ".")
  endif()
  set(ZORBALIN_PROGRAM_FILE "${ProgramFile}")
  configure_file("${PROJECT_SOURCE_DIR}/desktop/zorbalin.in" "${launcher}" @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(${OutputVariable} "${launcher}" PARENT_SCOPE)
endfunction()

function(zorbalin_install_program Target)
  get_property(done GLOBAL PROPERTY ZORBALIN_PROGRAM_INSTALLED)
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY ZORBALIN_PROGRAM_INSTALLED TRUE)

  get_target_property(program_file ${Target} OUTPUT_NAME)
  if(NOT program_file)
    set(program_file ${Target})
  endif()
  zorbalin_configure_launcher(${program_file} launcher)

  install(TARGETS ${Target} RUNTIME DESTINATION ${ZORBALIN_PROGRAM_INSTALL_DIR} COMPONENT program)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/Ico" DESTINATION ${ZORBALIN_PROGRAM_INSTALL_DIR}
          COMPONENT program FILES_MATCHING PATTERN "*.bmp")
  install(PROGRAMS "${launcher}" DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT launcher)
endfunction()
