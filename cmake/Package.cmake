# The release package of the Windows program, a ZIP to unpack on the cockpit's machine:
#   cmake --build --preset windows --target package
# It opens into one folder, Talvesync-<version>/, and SHA256SUMS is written beside it.
set(release_folder Talvesync-${PROJECT_VERSION})
set(release_build ${CMAKE_BINARY_DIR}/release)
find_program(CMARK_GFM cmark-gfm REQUIRED)
find_program(PYTHON3 python3 REQUIRED)

install(TARGETS talvesync RUNTIME DESTINATION ${release_folder})
# The stand-in servers and the script writer, for a dry run on the cockpit's machine.
install(TARGETS psx-sim sioc-sim ssi-writer RUNTIME DESTINATION ${release_folder}/tools)

# Texts for Notepad: Windows line ends; README.txt also gets the version.
set(VERSION ${PROJECT_VERSION})
foreach(text "docs/README.txt:README.txt" "LICENSE:LICENSE.txt" "CHANGELOG.md:CHANGELOG.txt"
             "docs/examples/README.txt:examples/README.txt"
             "docs/examples/cockpit-example.txt:examples/cockpit-example.txt")
  string(REPLACE ":" ";" text "${text}")
  list(GET text 0 source)
  list(GET text 1 target)
  configure_file(${PROJECT_SOURCE_DIR}/${source} ${release_build}/${target} @ONLY NEWLINE_STYLE CRLF)
  cmake_path(GET target PARENT_PATH folder)
  install(FILES ${release_build}/${target} DESTINATION ${release_folder}/${folder})
endforeach()
install(FILES
  ${PROJECT_SOURCE_DIR}/docs/Talvesync.cfg.sample
  ${PROJECT_SOURCE_DIR}/docs/Talvesync.cfg.example
  ${PROJECT_SOURCE_DIR}/docs/variables.csv
  DESTINATION ${release_folder})
install(FILES ${PROJECT_SOURCE_DIR}/docs/examples/Talvesync.cfg DESTINATION ${release_folder}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/pictures ${PROJECT_SOURCE_DIR}/docs/screenshots
        DESTINATION ${release_folder})

# The documents as HTML with their tables, rendered from the Markdown at build time.
set(pages)
foreach(page manual configuration variables)
  add_custom_command(
    OUTPUT ${release_build}/${page}.html
    COMMAND ${PYTHON3} ${PROJECT_SOURCE_DIR}/scripts/render-doc ${CMARK_GFM}
            ${PROJECT_SOURCE_DIR}/docs/${page}.md ${release_build}/${page}.html
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page}.md ${PROJECT_SOURCE_DIR}/scripts/render-doc
    COMMENT "Rendering ${page}.html")
  list(APPEND pages ${release_build}/${page}.html)
endforeach()
add_custom_target(release_documents ALL DEPENDS ${pages})
install(FILES ${pages} DESTINATION ${release_folder})

# The notices of what is linked into the programs, as the build machine's Debian packages ship
# them: {fmt}, nlohmann-json, and the MinGW-w64 runtime with GCC's libstdc++ and libgcc.
foreach(notice "fmt:libfmt-dev" "nlohmann-json:nlohmann-json3-dev" "gcc-libstdc++-libgcc:gcc-mingw-w64-base"
               "mingw-w64-runtime:mingw-w64-common")
  string(REPLACE ":" ";" notice "${notice}")
  list(GET notice 0 name)
  list(GET notice 1 package)
  if(NOT EXISTS /usr/share/doc/${package}/copyright)
    message(FATAL_ERROR "the package needs /usr/share/doc/${package}/copyright")
  endif()
  install(FILES /usr/share/doc/${package}/copyright DESTINATION ${release_folder}/third-party-notices
          RENAME ${name}.txt)
endforeach()
# psx-sim.exe carries the PSX capture inside: its source note and licence go with it.
file(READ ${PROJECT_SOURCE_DIR}/tests/data/README.md capture_note)
file(READ ${PROJECT_SOURCE_DIR}/tests/data/LICENSE-psx-opening-capture.txt capture_licence)
file(CONFIGURE OUTPUT ${release_build}/psx-opening-capture.txt CONTENT "${capture_note}\n${capture_licence}" @ONLY)
install(FILES ${release_build}/psx-opening-capture.txt DESTINATION ${release_folder}/third-party-notices)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Talvesync)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Talvesync-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The debug information is for us, not for the cockpit: the packaged programs are stripped.
set(CPACK_STRIP_FILES ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/WriteSha256Sums.cmake)
include(CPack)
