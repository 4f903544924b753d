# Run by CPack for each package once it has staged the release files: signs the two programs
# there (installer/sign.cmake), so that the ZIP and the installer both carry signed programs.
include(${CMAKE_CURRENT_LIST_DIR}/sign.cmake)
foreach(program IN LISTS CPACK_MEROVAN_PROGRAMS)
  merovan_sign("${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${program}")
endforeach()
