# The help file and the Windows Installer package, built from the Windows build's programs.
find_program(CHMCMD chmcmd REQUIRED)
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)

# help.chm beside the programs: the HTML sources and the screenshots in one staging folder.
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
# The pictures at 96 DPI only: the help window shows them at that size.
file(GLOB HELP_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/screenshots/*.png)
list(FILTER HELP_PICTURES EXCLUDE REGEX "-144dpi\\.png$")
set(HELP_STAGE ${CMAKE_BINARY_DIR}/help-stage)
set(HELP_CHM ${CMAKE_BINARY_DIR}/help.chm)
add_custom_command(
  OUTPUT ${HELP_CHM}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HELP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HELP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${HELP_SOURCES} ${HELP_PICTURES} ${HELP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${HELP_STAGE} ${CHMCMD} --no-html-scan help.hhp
  COMMAND ${CMAKE_COMMAND} -E copy ${HELP_STAGE}/help.chm ${HELP_CHM}
  DEPENDS ${HELP_SOURCES} ${HELP_PICTURES}
  COMMENT "Compiling help.chm")
add_custom_target(help_chm ALL DEPENDS ${HELP_CHM})

# Halcyra-<version>-x64.msi. wixl takes the sources by paths relative to the .wxs file, so the
# file lies beside the built programs, with a copy of the icon and the license.
configure_file(${CMAKE_SOURCE_DIR}/res/halcyra.ico ${CMAKE_BINARY_DIR}/halcyra.ico COPYONLY)
configure_file(${CMAKE_SOURCE_DIR}/installer/License.txt ${CMAKE_BINARY_DIR}/License.txt COPYONLY)

# The one identity of Halcyra's packages across all versions.
set(HALCYRA_UPGRADE_CODE "{6A1C3F52-8E0B-4B7D-9C41-2F5E7A9D0C13}")

# Builds a package of the programs under the given version into `output`.
function(halcyra_msi target version output)
  set(PROJECT_VERSION ${version})
  set(HALCYRA_EXE Halcyra.exe)
  set(SERVICE_EXE ShutdownService.exe)
  set(HALCYRA_ICON halcyra.ico)
  set(LICENSE_TXT License.txt)
  set(HELP_CHM_NAME help.chm)
  set(SETUP_DLL HalcyraSetup.dll)
  set(CMD_EXE HalcyraCmd.exe)
  set(wxs ${CMAKE_BINARY_DIR}/Halcyra-${version}.wxs)
  configure_file(${CMAKE_SOURCE_DIR}/installer/Halcyra.wxs.in ${wxs} @ONLY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${WIXL} -a x64 -o ${output} ${wxs}
    # What wixl cannot write or drops: cmake/msi_tables.cmake.
    COMMAND ${CMAKE_COMMAND} -DMSI=${output} -DMSIBUILD=${MSIBUILD} -DVERSION=${version}
            -DUPGRADE_CODE=${HALCYRA_UPGRADE_CODE} -P ${CMAKE_SOURCE_DIR}/cmake/msi_tables.cmake
    DEPENDS ${wxs} Halcyra ShutdownService HalcyraCmd HalcyraSetup ${HELP_CHM}
            ${CMAKE_SOURCE_DIR}/cmake/msi_tables.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    VERBATIM
    COMMENT "Building the package of Halcyra ${version}")
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

set(HALCYRA_MSI_NAME Halcyra-${PROJECT_VERSION}-x64.msi)
halcyra_msi(package_msi ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/${HALCYRA_MSI_NAME})
