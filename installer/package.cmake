# Run by CPack's External generator once it has staged the release files, after the ZIP
# generator. It makes the uninstaller (uninstaller.nsi), then Merovan-<version>-setup.exe
# (setup.nsi), which carries it, signs the installer when a certificate is given
# (installer/sign.cmake; the uninstaller and the programs are signed before they go in), and
# last writes the SHA256SUMS of the ZIP and the installer into the release folder. (CPack's
# own output of this generator, a .json of its metadata, goes elsewhere:
# installer/package_generators.cmake.)

include(${CMAKE_CURRENT_LIST_DIR}/sign.cmake)

set(release "${CPACK_MEROVAN_RELEASE_DIR}")
set(zip "${CPACK_PACKAGE_FILE_NAME}.zip")
set(setup "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-setup.exe")
set(scratch "${CPACK_MEROVAN_SCRATCH_DIR}/installer")
set(uninstaller "${scratch}/uninstall.exe")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}")

function(run_makensis script)
  execute_process(
    COMMAND "${CPACK_MEROVAN_MAKENSIS}" -V2 -INPUTCHARSET UTF8
            "-DNAMES=${CPACK_MEROVAN_NSIS_NAMES}" ${ARGN} "${CMAKE_CURRENT_LIST_DIR}/${script}"
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "makensis ${script} failed (${result})")
  endif()
endfunction()

run_makensis(uninstaller.nsi "-DOUTFILE=${scratch}/uninstaller-maker.exe"
             "-DUNINSTALLER_OUT=${uninstaller}" "-DCMAKE=${CPACK_MEROVAN_CMAKE}")
if(NOT EXISTS "${uninstaller}")
  message(FATAL_ERROR "makensis left no ${uninstaller}")
endif()
run_makensis(setup.nsi "-DFILES=${CPACK_TEMPORARY_DIRECTORY}" "-DUNINSTALLER_FILE=${uninstaller}"
             "-DOUTFILE=${release}/${setup}")
merovan_sign("${release}/${setup}")
message(STATUS "- package: ${release}/${setup} generated.")

if(NOT EXISTS "${release}/${zip}")
  message(FATAL_ERROR "${release}/${zip} is missing: CPACK_GENERATOR lists ZIP first")
endif()
file(SHA256 "${release}/${zip}" zip_sum)
file(SHA256 "${release}/${setup}" setup_sum)
# The format of sha256sum, so that `sha256sum -c SHA256SUMS` checks the release.
file(WRITE "${release}/SHA256SUMS" "${zip_sum}  ${zip}\n${setup_sum}  ${setup}\n")
message(STATUS "- package: ${release}/SHA256SUMS generated.")
