# The Debian package, built by `cpack -G DEB` (or the `package` target) from
# the install rules of cmake/Install.cmake, installed under /usr.
#
# The shared libraries the programs and the editor's output module
# (/usr/lib/zqwcce/modules/zqwcce-output.so: Qt print support, libcurl,
# libzip) link are found by dpkg-shlibdeps (from dpkg-dev), which reads every
# ELF file in the package; what Qt loads at run time is named here by hand.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zqwcce)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZQW card editor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for ZQW bridge convention cards")
# Lines of the long description as dpkg shows them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Fills in ZQW convention cards and their notes, prints them or makes PDFs"
  "of them, and packs a card with its notes into a .zqw package to send to"
  "the KHF by e-mail. Includes zqwcce-cli, the card core for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ZQW card editor developers")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins (xcb for X11, wayland) at run time, and
# libqt6gui6 only recommends them: without them the editor cannot open a
# window. The card fonts are shipped, but printed headings and suits printed
# as pictures ask for Arial, Times and Courier, whose metric twins are the
# Liberation fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
# They keep the desktop's file types, menu and icons in step, through dpkg
# triggers; the editor itself runs without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")

include(CPack)
