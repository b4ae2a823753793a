# The Debian package (cpack -G DEB, see scripts/package.sh): what `cmake --install` installs, under
# /usr. The libraries it needs are read from the binaries by dpkg-shlibdeps; Qt's German texts are a
# package of their own, and the sqlite3 shell is recommended for looking into the databases.
include(GNUInstallDirs)

# The package's name, not the project's: /usr/share/doc/kalvora.
set(kalvora_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/kalvora)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${kalvora_doc_dir} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/docs/benutzerhandbuch.md
        DESTINATION ${kalvora_doc_dir})
# The pictures of the user guide, which refers to them as screenshots/….
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/screenshots DESTINATION ${kalvora_doc_dir})

set(CPACK_PACKAGE_NAME kalvora)
set(CPACK_PACKAGE_VENDOR "Kalvora")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ICU data manager for TISS-28 deliveries")
set(CPACK_PACKAGE_DESCRIPTION
    "Kalvora imports the TISS-28 data deliveries of intensive-care units,
checks every field and stay, stores them in one SQLite database per
department, shows them in the ICU report, classifies the departments and
exports a total database. German user interface; the companion command
line kalvora-cli does the same work from scripts.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kalvora-Entwicklung <kalvora@kalvora.de>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sqlite3")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kalvora.de/")
set(CPACK_GENERATOR DEB)
include(CPack)
