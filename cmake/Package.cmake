# The release package of the Windows program, a ZIP to unpack on the cockpit's machine:
#   cmake --build --preset windows --target package
install(TARGETS talvesync RUNTIME DESTINATION .)
install(FILES
  ${PROJECT_SOURCE_DIR}/docs/Talvesync.cfg.sample
  ${PROJECT_SOURCE_DIR}/docs/manual.md
  ${PROJECT_SOURCE_DIR}/docs/configuration.md
  ${PROJECT_SOURCE_DIR}/docs/variables.md
  DESTINATION .)

# The notices of what is linked into Talvesync.exe, as the build machine's Debian packages ship
# them: {fmt}, nlohmann-json, and the MinGW-w64 runtime with GCC's libstdc++ and libgcc.
foreach(notice "fmt:libfmt-dev" "nlohmann-json:nlohmann-json3-dev" "gcc-libstdc++-libgcc:gcc-mingw-w64-base"
               "mingw-w64-runtime:mingw-w64-common")
  string(REPLACE ":" ";" notice "${notice}")
  list(GET notice 0 name)
  list(GET notice 1 package)
  if(NOT EXISTS /usr/share/doc/${package}/copyright)
    message(FATAL_ERROR "the package needs /usr/share/doc/${package}/copyright")
  endif()
  install(FILES /usr/share/doc/${package}/copyright DESTINATION third-party-notices RENAME ${name}.txt)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Talvesync)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Talvesync-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# The debug information is for us, not for the cockpit: the packaged program is stripped.
set(CPACK_STRIP_FILES ON)
include(CPack)
