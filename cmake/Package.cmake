# `cpack -G DEB` in the build folder makes a Debian package of the installed layout; its
# dependencies are read from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <dev@vantrel.test>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client of an online photo-printing service")
set(CPACK_PACKAGE_DESCRIPTION "Browse the folders of your disk as thumbnails, gather photos into albums,
turn and retouch them, and send them to the printing service with a verified upload.
Includes vantrel-cli, the same engine on the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Themed icons for the tool bars, the SVG icon engine for the program's own icons, and Qt's
# translations for its own buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, adwaita-icon-theme | hicolor-icon-theme")
# QtKeychain reaches the Secret Service through libsecret, which it loads only when present.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core, fonts-liberation, libsecret-1-0")
include(CPack)
