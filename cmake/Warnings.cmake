option(TALVESYNC_WERROR "Treat warnings as errors" ON)
add_library(talvesync_warnings INTERFACE)
target_compile_options(talvesync_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual
  $<$<BOOL:${TALVESYNC_WERROR}>:-Werror>)
