# `cpack -G DEB` in a build configured with the "package" preset (shared
# libraries, prefix /usr) makes kzm_<version>_<arch>.deb: the tools, the
# libraries, the headers, the CMake and pkg-config files. Its dependencies
# are read by dpkg-shlibdeps from the shared libraries its files link, and
# it declares the shared libraries it provides (a shlibs file).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kzm)
set(CPACK_PACKAGE_VENDOR "The KZM developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 2D tile-map engine, its test bed and the kzm map tool")
set(CPACK_PACKAGE_DESCRIPTION "A small 2D tile-map engine as C++20 libraries (map records and reader, \
map engine, display and input over SDL2), with its headers, a CMake package (find_package(KZM)) \
and a pkg-config file (kzm), the kzm-testbed program with a sample world, the kzm command-line tool \
and example games.")
set(CPACK_PACKAGE_CONTACT "KZM developers <kzm@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg-shlibdeps must find the package's own libraries, which are not
# installed on the building machine.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/_CPack_Packages/Linux/DEB/kzm-${PROJECT_VERSION}-Linux/${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
set(CPACK_STRIP_FILES ON)
include(CPack)
