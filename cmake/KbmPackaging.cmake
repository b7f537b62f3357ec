# The Debian package, built by CPack from the install rules:
#   cpack --config build/<dir>/CPackConfig.cmake   ->  kobaltmandrexis_<version>_<arch>.deb
# Its runtime dependencies are computed from the installed binaries by dpkg-shlibdeps
# (package dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kobaltmandrexis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Halvorsteen)
# The maintainer and home page come from desktop/CMakeLists.txt, which also writes them into
# the copyright file and the changelog.
set(CPACK_PACKAGE_CONTACT ${KBM_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KBM_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for Commodore 1541 disk images (.d64)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kobaltmandrexis shows the directories of two .d64 disk images side by side\n\
in the C64's own character set, copies files between them, scratches,\n\
deletes and exports them, and writes every change through to the image at\n\
once. d64tool does the same from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
