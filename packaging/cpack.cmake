# `cpack -G DEB` in a build folder makes a Debian package of the install tree.
# The package installs under /usr; its library dependencies are worked out by
# dpkg-shlibdeps from the binaries (the program's private libraries in
# <libdir>/tavro are found through their RUNPATH).
set(CPACK_PACKAGE_NAME "tavro")
set(CPACK_PACKAGE_VENDOR "The Tavro developers")
set(CPACK_PACKAGE_CONTACT "The Tavro developers <tavro@localhost>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/core")
# The first line of the package description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tavro draws circuit sheets and turns a project of sheets into netlists in
29 formats for printed-circuit-board tools and simulators, with a Japanese
user interface. Every output is also written headless: tavro <command>.")
set(CPACK_GENERATOR "DEB")
include(CPack)
