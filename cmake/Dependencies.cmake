# {fmt}, nlohmann::json and the platform's system libraries.
#
# The cross build must not see /usr/include (glibc headers would leak in), so the header-only
# libraries are copied into a folder of their own and used from there.
add_library(talvesync_deps INTERFACE)
add_library(talvesync_system_libs INTERFACE)

if(CMAKE_CROSSCOMPILING)
  set(STAGED_INCLUDE ${CMAKE_BINARY_DIR}/staged-include)
  foreach(lib fmt nlohmann)
    if(NOT EXISTS /usr/include/${lib})
      message(FATAL_ERROR "/usr/include/${lib} is missing: install libfmt-dev and nlohmann-json3-dev")
    endif()
    file(COPY /usr/include/${lib} DESTINATION ${STAGED_INCLUDE})
  endforeach()
  target_include_directories(talvesync_deps SYSTEM INTERFACE ${STAGED_INCLUDE})
  target_compile_definitions(talvesync_deps INTERFACE FMT_HEADER_ONLY)
else()
  find_package(fmt REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(talvesync_deps INTERFACE fmt::fmt nlohmann_json::nlohmann_json)
endif()

find_package(Threads REQUIRED)
target_link_libraries(talvesync_deps INTERFACE Threads::Threads)

if(WIN32)
  target_compile_definitions(talvesync_deps INTERFACE
    WIN32_LEAN_AND_MEAN NOMINMAX __USE_MINGW_ANSI_STDIO=1 UNICODE _UNICODE _WIN32_WINNT=0x0A00)
  target_link_libraries(talvesync_system_libs INTERFACE ws2_32 wininet shell32 ole32 uuid gdi32 user32 comctl32)
  target_link_options(talvesync_deps INTERFACE -static)
endif()

# GoogleTest: the Debian package natively, its sources with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
