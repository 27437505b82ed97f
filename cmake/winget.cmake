# winget's three manifests for the built package. Run as a script:
# cmake -DMSI=<package> -DVERSION=<x.y.z> -DPRODUCT_CODE=<guid> -DUPGRADE_CODE=<guid>
#       -DINSTALLER_URL=<url or empty> -DTEMPLATES=<installer/winget> -DOUT=<folder> -P winget.cmake

file(SHA256 ${MSI} SHA256)
string(TOUPPER ${SHA256} SHA256)
if(NOT INSTALLER_URL)
  # A placeholder that no client can fetch: the release's URL replaces it (README, "Releasing").
  get_filename_component(name ${MSI} NAME)
  set(INSTALLER_URL "https://example.invalid/INSTALLER_URL-not-set/${name}")
endif()
file(REMOVE_RECURSE ${OUT})
foreach(manifest IN ITEMS Halcyra.Halcyra Halcyra.Halcyra.installer Halcyra.Halcyra.locale.en-US)
  configure_file(${TEMPLATES}/${manifest}.yaml.in ${OUT}/${manifest}.yaml @ONLY NEWLINE_STYLE LF)
endforeach()
