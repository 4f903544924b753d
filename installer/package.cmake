# Run by CPack's External generator once it has staged the release files, after the ZIP
# generator: makes Merovan-<version>-setup.exe from installer/setup.nsi and writes it, with the
# SHA256SUMS of the ZIP and the installer, into the release folder. (CPack's own output of this
# generator, a .json of its metadata, goes elsewhere: installer/package_generators.cmake.)

set(release "${CPACK_MEROVAN_RELEASE_DIR}")
set(zip "${CPACK_PACKAGE_FILE_NAME}.zip")
set(setup "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-setup.exe")

execute_process(
  COMMAND "${CPACK_MEROVAN_MAKENSIS}" -V2 -INPUTCHARSET UTF8
          "-DNAMES=${CPACK_MEROVAN_NSIS_NAMES}"
          "-DFILES=${CPACK_TEMPORARY_DIRECTORY}"
          "-DOUTFILE=${release}/${setup}"
          "${CPACK_MEROVAN_NSIS_SCRIPT}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "makensis failed (${result})")
endif()
message(STATUS "- package: ${release}/${setup} generated.")

if(NOT EXISTS "${release}/${zip}")
  message(FATAL_ERROR "${release}/${zip} is missing: CPACK_GENERATOR lists ZIP first")
endif()
file(SHA256 "${release}/${zip}" zip_sum)
file(SHA256 "${release}/${setup}" setup_sum)
# The format of sha256sum, so that `sha256sum -c SHA256SUMS` checks the release.
file(WRITE "${release}/SHA256SUMS" "${zip_sum}  ${zip}\n${setup_sum}  ${setup}\n")
message(STATUS "- package: ${release}/SHA256SUMS generated.")
