# Signs a program of the release with osslsigncode when a certificate is given:
#
#   MEROVAN_SIGN_PFX        the certificate and its key, a PKCS#12 (.pfx) file
#   MEROVAN_SIGN_PASSWORD   its password
#   MEROVAN_SIGN_TIMESTAMP  a time-stamping (RFC 3161) address, when the signature should
#                           outlive the certificate
#
# Without MEROVAN_SIGN_PFX nothing is signed. Included for merovan_sign(), or run on one file
# (the uninstaller, as makensis finishes it), which it may then copy:
#
#   cmake -DMEROVAN_SIGN_FILE=<program> [-DMEROVAN_COPY_TO=<path>] -P installer/sign.cmake

function(merovan_sign program)
  if("$ENV{MEROVAN_SIGN_PFX}" STREQUAL "")
    return()
  endif()
  find_program(osslsigncode osslsigncode)
  if(NOT osslsigncode)
    message(FATAL_ERROR "MEROVAN_SIGN_PFX is set, but osslsigncode is missing")
  endif()
  # The password goes through a file only its owner can read, not the command line.
  string(RANDOM LENGTH 12 nonce)
  set(secret_dir "${program}.${nonce}.signing")
  file(MAKE_DIRECTORY "${secret_dir}")
  file(CHMOD "${secret_dir}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  file(WRITE "${secret_dir}/password" "$ENV{MEROVAN_SIGN_PASSWORD}")
  set(timestamp)
  if(NOT "$ENV{MEROVAN_SIGN_TIMESTAMP}" STREQUAL "")
    set(timestamp -ts "$ENV{MEROVAN_SIGN_TIMESTAMP}")
  endif()
  execute_process(
    COMMAND "${osslsigncode}" sign -pkcs12 "$ENV{MEROVAN_SIGN_PFX}" -readpass "${secret_dir}/password"
            -h sha256 -n Merovan ${timestamp} -in "${program}" -out "${program}.signed"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  file(REMOVE_RECURSE "${secret_dir}")
  if(NOT result EQUAL 0)
    file(REMOVE "${program}.signed")
    message(FATAL_ERROR "osslsigncode could not sign ${program} (${result}): ${output}")
  endif()
  file(RENAME "${program}.signed" "${program}")
  message(STATUS "Signed ${program}")
endfunction()

if(DEFINED MEROVAN_SIGN_FILE)
  merovan_sign("${MEROVAN_SIGN_FILE}")
  if(DEFINED MEROVAN_COPY_TO)
    get_filename_component(folder "${MEROVAN_COPY_TO}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${MEROVAN_SIGN_FILE}" "${MEROVAN_COPY_TO}")
  endif()
endif()
