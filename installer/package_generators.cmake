# Read by CPack once per generator. The External generator (the installer, installer/package.cmake)
# always leaves a .json of CPack's metadata as its package: it goes to CPack's scratch folder,
# not into the release.
if(CPACK_GENERATOR STREQUAL "External")
  set(CPACK_OUTPUT_FILE_PREFIX "${CPACK_MEROVAN_SCRATCH_DIR}")
endif()
