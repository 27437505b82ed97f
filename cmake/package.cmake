# The help file and the Windows Installer package, built from the Windows build's programs.
find_program(CHMCMD chmcmd REQUIRED)
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)
find_program(OSSLSIGNCODE osslsigncode REQUIRED)
find_program(SETARCH setarch REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The commit and its date stand in for the clock wherever a tool would write the time:
# SOURCE_DATE_EPOCH from the environment, else the commit's date. Not before 1980, the first day
# a cabinet's file date can hold.
execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%H%n%ct
                OUTPUT_VARIABLE commit_lines RESULT_VARIABLE git_result ERROR_QUIET
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(git_result EQUAL 0 AND commit_lines MATCHES "^([0-9a-f]+)\n([0-9]+)$")
  set(HALCYRA_COMMIT ${CMAKE_MATCH_1})
  set(HALCYRA_EPOCH ${CMAKE_MATCH_2})
else()
  set(HALCYRA_COMMIT "no-commit")
  set(HALCYRA_EPOCH 315532800)
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(HALCYRA_EPOCH $ENV{SOURCE_DATE_EPOCH})
endif()
if(HALCYRA_EPOCH LESS 315532800)
  set(HALCYRA_EPOCH 315532800)
endif()
# A new commit builds the package again.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/release-identity.txt
     CONTENT "${HALCYRA_COMMIT} ${HALCYRA_EPOCH}\n")

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
  # chmcmd writes bytes of its own memory into the file: without address randomisation they are
  # the same at each run; the time of day it writes is then set to the commit's.
  COMMAND ${CMAKE_COMMAND} -E chdir ${HELP_STAGE} ${SETARCH} -R ${CHMCMD} --no-html-scan help.hhp
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/reproducible.py chm
          ${HELP_STAGE}/help.chm ${HALCYRA_EPOCH}
  COMMAND ${CMAKE_COMMAND} -E copy ${HELP_STAGE}/help.chm ${HELP_CHM}
  DEPENDS ${HELP_SOURCES} ${HELP_PICTURES} ${CMAKE_BINARY_DIR}/release-identity.txt
          ${CMAKE_SOURCE_DIR}/cmake/reproducible.py
  COMMENT "Compiling help.chm")
add_custom_target(help_chm ALL DEPENDS ${HELP_CHM})

# The programs and the DLL of the package, signed when SIGN_PFX is set (cmake/sign.cmake); the
# -e2e programs are no part of it and are never signed. Runs at every build, since the signing
# identity comes from the environment; it touches only what changed.
set(PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)
set(SIGNED_NAMES Halcyra.exe ShutdownService.exe HalcyraCmd.exe HalcyraSetup.dll)
list(TRANSFORM SIGNED_NAMES PREPEND ${PACKAGE_FILES}/ OUTPUT_VARIABLE SIGNED_FILES)
add_custom_target(package_files ALL
  COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE} -DSTAGE=${PACKAGE_FILES}
          "-DSOURCES=$<TARGET_FILE:Halcyra>;$<TARGET_FILE:ShutdownService>;$<TARGET_FILE:HalcyraCmd>;$<TARGET_FILE:HalcyraSetup>"
          -P ${CMAKE_SOURCE_DIR}/cmake/sign.cmake
  BYPRODUCTS ${SIGNED_FILES}
  DEPENDS Halcyra ShutdownService HalcyraCmd HalcyraSetup
  VERBATIM)

# The one identity of Halcyra's packages across all versions.
set(HALCYRA_UPGRADE_CODE "{6A1C3F52-8E0B-4B7D-9C41-2F5E7A9D0C13}")

# One product code per version, the same in every build of it (winget's manifest names it).
function(halcyra_product_code version out)
  string(REGEX REPLACE "[{}]" "" namespace ${HALCYRA_UPGRADE_CODE})
  string(UUID code NAMESPACE ${namespace} NAME "Halcyra ${version} x64" TYPE SHA1 UPPER)
  set(${out} "{${code}}" PARENT_SCOPE)
endfunction()

# Builds a package of the programs under the given version into `output`. wixl takes the sources
# by paths relative to the .wxs file: a folder of their own beside it, dated with the commit,
# since the cabinet keeps each file's date.
function(halcyra_msi target version output)
  set(PROJECT_VERSION ${version})
  halcyra_product_code(${version} HALCYRA_PRODUCT_CODE)
  set(input package-input-${version})
  set(HALCYRA_EXE ${input}/Halcyra.exe)
  set(SERVICE_EXE ${input}/ShutdownService.exe)
  set(HALCYRA_ICON ${input}/halcyra.ico)
  set(LICENSE_TXT ${input}/License.txt)
  set(HELP_CHM_NAME ${input}/help.chm)
  set(SETUP_DLL ${input}/HalcyraSetup.dll)
  set(CMD_EXE ${input}/HalcyraCmd.exe)
  set(inputs ${SIGNED_FILES} ${HELP_CHM} ${CMAKE_SOURCE_DIR}/res/halcyra.ico
             ${CMAKE_SOURCE_DIR}/installer/License.txt)
  set(copies)
  foreach(file IN LISTS inputs)
    get_filename_component(name ${file} NAME)
    list(APPEND copies ${input}/${name})
  endforeach()
  set(wxs ${CMAKE_BINARY_DIR}/Halcyra-${version}.wxs)
  configure_file(${CMAKE_SOURCE_DIR}/installer/Halcyra.wxs.in ${wxs} @ONLY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${input}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${input}
    COMMAND ${CMAKE_COMMAND} -E copy ${inputs} ${input}
    COMMAND touch -d @${HALCYRA_EPOCH} ${copies}
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${WIXL} -a x64 -o ${output} ${wxs}
    # What wixl cannot write or drops: cmake/msi_tables.cmake.
    COMMAND ${CMAKE_COMMAND} -DMSI=${output} -DMSIBUILD=${MSIBUILD} -DVERSION=${version}
            -DUPGRADE_CODE=${HALCYRA_UPGRADE_CODE} -P ${CMAKE_SOURCE_DIR}/cmake/msi_tables.cmake
    # The clock out of the summary information, then the signature over the final bytes.
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/reproducible.py msi ${output}
            ${HALCYRA_EPOCH} "${HALCYRA_COMMIT} ${version}"
    COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE} -DFILE=${output}
            -P ${CMAKE_SOURCE_DIR}/cmake/sign.cmake
    DEPENDS ${wxs} package_files ${inputs} ${CMAKE_SOURCE_DIR}/cmake/msi_tables.cmake
            ${CMAKE_SOURCE_DIR}/cmake/reproducible.py ${CMAKE_SOURCE_DIR}/cmake/sign.cmake
            ${CMAKE_BINARY_DIR}/release-identity.txt
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    VERBATIM
    COMMENT "Building the package of Halcyra ${version}")
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

set(HALCYRA_MSI_NAME Halcyra-${PROJECT_VERSION}-x64.msi)
halcyra_msi(package_msi ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/${HALCYRA_MSI_NAME})

# The administrative templates go beside the package, not into it: administrators copy them into
# a policy store or import them into Intune, which no installation on a client does. The release
# carries the folder as it is laid out here, the ADML in its language's subfolder.
set(POLICY_SOURCE ${CMAKE_SOURCE_DIR}/installer/policy)
set(POLICY_DIR ${CMAKE_BINARY_DIR}/policy)
add_custom_command(
  OUTPUT ${POLICY_DIR}/Halcyra.admx ${POLICY_DIR}/en-US/Halcyra.adml
  COMMAND ${CMAKE_COMMAND} -E make_directory ${POLICY_DIR}/en-US
  COMMAND ${CMAKE_COMMAND} -E copy ${POLICY_SOURCE}/Halcyra.admx ${POLICY_DIR}/Halcyra.admx
  COMMAND ${CMAKE_COMMAND} -E copy ${POLICY_SOURCE}/en-US/Halcyra.adml
          ${POLICY_DIR}/en-US/Halcyra.adml
  DEPENDS ${POLICY_SOURCE}/Halcyra.admx ${POLICY_SOURCE}/en-US/Halcyra.adml
  VERBATIM
  COMMENT "Copying the administrative templates")
add_custom_target(policy_templates ALL
  DEPENDS ${POLICY_DIR}/Halcyra.admx ${POLICY_DIR}/en-US/Halcyra.adml)

# winget's manifests for this package (cmake/winget.cmake): INSTALLER_URL is where the release
# puts it; without one the manifest carries a placeholder.
if(NOT DEFINED INSTALLER_URL)
  set(INSTALLER_URL "$ENV{INSTALLER_URL}")
endif()
halcyra_product_code(${PROJECT_VERSION} product_code)
file(GLOB WINGET_TEMPLATES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/installer/winget/*.yaml.in)
set(WINGET_DIR ${CMAKE_BINARY_DIR}/winget)
add_custom_command(
  OUTPUT ${WINGET_DIR}/Halcyra.Halcyra.installer.yaml
  COMMAND ${CMAKE_COMMAND} -DMSI=${CMAKE_BINARY_DIR}/${HALCYRA_MSI_NAME} -DVERSION=${PROJECT_VERSION}
          -DPRODUCT_CODE=${product_code} -DUPGRADE_CODE=${HALCYRA_UPGRADE_CODE}
          -DINSTALLER_URL=${INSTALLER_URL} -DTEMPLATES=${CMAKE_SOURCE_DIR}/installer/winget
          -DOUT=${WINGET_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/winget.cmake
  DEPENDS ${CMAKE_BINARY_DIR}/${HALCYRA_MSI_NAME} ${WINGET_TEMPLATES}
          ${CMAKE_SOURCE_DIR}/cmake/winget.cmake
  VERBATIM
  COMMENT "Writing winget's manifests")
add_custom_target(winget_manifests ALL DEPENDS ${WINGET_DIR}/Halcyra.Halcyra.installer.yaml)
