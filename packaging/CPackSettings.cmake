# The Debian package `./scripts/package.sh` builds. Its dependencies are the packages of the
# libraries the programs actually link (dpkg-shlibdeps), plus what Qt loads at run time and no
# program links: the platform plugins and the SQLite driver of the workshop history (without it the
# history is not kept). The Wayland platform plugin is recommended for Wayland desktops.
set(VORDAX4_PACKAGE_MAINTAINER "VORDAX4 developers <vordax4-dev@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vordax4)
set(CPACK_PACKAGE_VENDOR Motravex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VORDAX4_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "setup program for VORDAX4 motorcycle ignition units")
set(CPACK_PACKAGE_DESCRIPTION
  "Prepares the configuration of a VORDAX4 four-channel motorcycle ignition
unit, reads, verifies and programs it over a serial line, watches the running
engine live and records it, and keeps configurations in .ign parameter files,
in English, German and Czech. Includes vordax4-cli for scripts and production
lines and vordax4-unitsim, a simulated unit for trying it without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
