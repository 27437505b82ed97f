# Authenticode signatures (SHA-256) with Debian's osslsigncode, from the environment at build time:
# SIGN_PFX (a PKCS#12 file), SIGN_PASSWORD (its password) and SIGN_TIMESTAMP_URL (an RFC 3161
# time-stamping service, optional). Run as a script, in one of two ways:
#   cmake -DOSSLSIGNCODE=<tool> -DSTAGE=<folder> -DSOURCES=<a;b;...> -P sign.cmake
#     puts each file into STAGE, signed when SIGN_PFX is set; a file whose source and signing
#     identity are unchanged is left alone, so that the package is not built again for nothing.
#   cmake -DOSSLSIGNCODE=<tool> -DFILE=<package> -P sign.cmake
#     signs FILE in place when SIGN_PFX is set.

set(pfx "$ENV{SIGN_PFX}")
set(timestamp_url "$ENV{SIGN_TIMESTAMP_URL}")
# The URL goes on the signing tool's command line, where other users see it, and into the
# stamps beside the signed files: credentials in it would travel with it.
if(timestamp_url MATCHES "^[A-Za-z][A-Za-z0-9+.-]*://[^/]*@")
  message(FATAL_ERROR "SIGN_TIMESTAMP_URL carries credentials (user:password@): give a "
                      "time-stamping service that needs none")
endif()

function(sign_file in out)
  set(arguments sign -pkcs12 "${pfx}" -readpass - -h sha256 -n Halcyra -i https://halcyra.org)
  if(timestamp_url)
    list(APPEND arguments -ts "${timestamp_url}")
  endif()
  file(REMOVE "${out}")
  # The password reaches the tool through a pipe, never on a command line or on disk.
  execute_process(
    COMMAND sh -c "printf '%s' \"$SIGN_PASSWORD\" | \"$0\" \"$@\"" "${OSSLSIGNCODE}" ${arguments}
            -in "${in}" -out "${out}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    file(REMOVE "${out}")
    message(FATAL_ERROR "Signing ${in} failed:\n${output}")
  endif()
endfunction()

if(DEFINED FILE)
  if(pfx)
    sign_file("${FILE}" "${FILE}.signed")
    file(RENAME "${FILE}.signed" "${FILE}")
  endif()
  return()
endif()

if(pfx)
  if(NOT EXISTS "${pfx}")
    message(FATAL_ERROR "SIGN_PFX: no such file: ${pfx}")
  endif()
  file(SHA256 "${pfx}" pfx_digest)
  set(identity "${pfx} ${pfx_digest} ${timestamp_url}")
else()
  set(identity "unsigned")
  message(STATUS "Not signing: SIGN_PFX is not set")
endif()

file(MAKE_DIRECTORY "${STAGE}")
foreach(source IN LISTS SOURCES)
  get_filename_component(name "${source}" NAME)
  set(staged "${STAGE}/${name}")
  file(SHA256 "${source}" digest)
  set(stamp "${digest} ${identity}")
  set(stamp_file "${STAGE}/.${name}.identity")
  if(EXISTS "${staged}" AND EXISTS "${stamp_file}")
    file(READ "${stamp_file}" previous)
    if(previous STREQUAL stamp)
      continue()
    endif()
  endif()
  if(pfx)
    sign_file("${source}" "${staged}")
  else()
    file(COPY_FILE "${source}" "${staged}")
  endif()
  file(WRITE "${stamp_file}" "${stamp}")
endforeach()
