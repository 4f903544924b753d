# The release (cmake --build --preset windows --target package), in build/windows/release/:
# both programs and the users' README.html in a ZIP, the same files in a per-user installer
# (installer/setup.nsi, with the uninstaller of installer/uninstaller.nsi), and the SHA256SUMS
# of the two. The project's version names them. With a certificate (installer/sign.cmake) the
# programs, the uninstaller and the installer are signed.

# The text of the wide-string constant `name[] = L"...";` that one of the programs' sources
# defines: the installer finds the programs' windows and files by the names the programs
# themselves use, wherever those are defined.
file(GLOB_RECURSE merovan_sources LIST_DIRECTORIES false
     ${PROJECT_SOURCE_DIR}/common/*.h ${PROJECT_SOURCE_DIR}/common/*.cpp
     ${PROJECT_SOURCE_DIR}/frontend/*.h ${PROJECT_SOURCE_DIR}/frontend/*.cpp
     ${PROJECT_SOURCE_DIR}/settings/*.h ${PROJECT_SOURCE_DIR}/settings/*.cpp
     ${PROJECT_SOURCE_DIR}/settings_dialog/*.h ${PROJECT_SOURCE_DIR}/settings_dialog/*.cpp)
function(merovan_source_text out name)
  foreach(source IN LISTS merovan_sources)
    file(STRINGS ${source} lines REGEX "${name}\\[\\] = L\"[^\"]*\";" ENCODING UTF-8)
    if(lines MATCHES "L\"([^\"]*)\"")
      set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
      # A change of the name there configures the installer anew.
      set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "No source defines ${name}, which the installer uses")
endfunction()

function(merovan_program_file out target)
  get_target_property(name ${target} OUTPUT_NAME)
  get_target_property(suffix ${target} SUFFIX)
  set(${out} "${name}${suffix}" PARENT_SCOPE)
endfunction()

merovan_program_file(MEROVAN_SCR_FILE frontend)
merovan_program_file(MEROVAN_RENDERER_FILE renderer)
get_target_property(MEROVAN_PRODUCT frontend OUTPUT_NAME)
merovan_source_text(renderer_file kRendererFileName)
if(NOT renderer_file STREQUAL MEROVAN_RENDERER_FILE)
  message(FATAL_ERROR "The screensaver starts ${renderer_file}, but the renderer is built as "
                      "${MEROVAN_RENDERER_FILE}")
endif()
merovan_source_text(MEROVAN_INI_FILE kIniFileName)
merovan_source_text(MEROVAN_PER_USER_FOLDER kPerUserFolderName)
merovan_source_text(MEROVAN_RUN_CAPTION kRunFormCaption)
merovan_source_text(MEROVAN_SETTINGS_CAPTION kSettingsWindowCaption)
merovan_source_text(MEROVAN_SETTINGS_CAPTION_ENGLISH kSettingsWindowCaptionEnglish)
merovan_source_text(MEROVAN_RENDERER_TITLE kRendererWindowTitle)
merovan_source_text(MEROVAN_INI_SECTION kIniSection)
merovan_source_text(MEROVAN_KEY_EVERY_MONITOR kKeyDisplayArea)
merovan_source_text(MEROVAN_KEY_ANY_INPUT_ENDS kKeyEndingInput)
set(MEROVAN_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
configure_file(${CMAKE_CURRENT_LIST_DIR}/names.nsh.in ${CMAKE_BINARY_DIR}/installer/names.nsh @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.html.in ${CMAKE_BINARY_DIR}/installer/README.html @ONLY)

install(TARGETS renderer frontend RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/installer/README.html DESTINATION .)
set(CPACK_PACKAGE_NAME Merovan)
set(CPACK_PACKAGE_VENDOR ${MEROVAN_PUBLISHER})
set(CPACK_PACKAGE_FILE_NAME "Merovan-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/release)
set(CPACK_GENERATOR ZIP)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/sign_programs.cmake)
set(CPACK_MEROVAN_PROGRAMS "${MEROVAN_SCR_FILE};${MEROVAN_RENDERER_FILE}")
find_program(MEROVAN_MAKENSIS makensis)
if(MEROVAN_MAKENSIS)
  # After the ZIP: the installer script also writes the sums of both files.
  list(APPEND CPACK_GENERATOR External)
  set(CPACK_EXTERNAL_ENABLE_STAGING ON)
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/package.cmake)
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_generators.cmake)
  set(CPACK_MEROVAN_RELEASE_DIR ${CPACK_OUTPUT_FILE_PREFIX})
  set(CPACK_MEROVAN_SCRATCH_DIR ${CMAKE_BINARY_DIR}/_CPack_Packages)
  set(CPACK_MEROVAN_MAKENSIS ${MEROVAN_MAKENSIS})
  set(CPACK_MEROVAN_NSIS_NAMES ${CMAKE_BINARY_DIR}/installer/names.nsh)
  set(CPACK_MEROVAN_CMAKE ${CMAKE_COMMAND})
else()
  message(WARNING "makensis (Debian package nsis) not found: the package target makes the ZIP only")
endif()
include(CPack)
