# Run by CPack once the package is made (still in CPack's own folder, before it is copied out):
# SHA256SUMS beside where the package goes, in the form `sha256sum -c` reads.
set(sums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(SHA256 ${package} hash)
  cmake_path(GET package FILENAME name)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
