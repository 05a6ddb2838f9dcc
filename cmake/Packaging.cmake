# `cpack -G DEB` in a build folder makes an installable Debian package.
set(CPACK_PACKAGE_NAME tarsik)
set(CPACK_PACKAGE_VENDOR "The Tarsik developers")
set(CPACK_PACKAGE_CONTACT "The Tarsik developers <hello@tarsik.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GPU and graphics information utility")
# Debian wraps nothing: each line of the long description must stay within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Shows every graphics processor with its model, vendor, PCI identifiers,
memory and displays, GPU sensors where the system exposes them, every raw
property, and a plain-text validation report. tarsik-report prints the same
as text, JSON or Prometheus metrics, with alert rules for Prometheus.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tarsik.org)
# Shared libraries come from dpkg-shlibdeps; the rest is what the program reads or needs to draw:
# the X11 and Wayland platform plugins, the PCI and AMD name databases, a font for a bare system.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, pci.ids, libdrm-common, fonts-dejavu-core")
include(CPack)
