# The Debian package: `cpack -G DEB` in a build folder packs what `cmake --install` installs,
# under /usr, with the documentation files Debian asks for.
# Included from the top CMakeLists.txt after the install rules.

set(ZOBL_PACKAGE_MAINTAINER "ZOBL Graphics Editor developers <zobl-ge@zobl.example>"
    CACHE STRING "Maintainer field of the Debian package (\"Name <address>\")")

# Debian's documentation folder is named after the package, not the project.
set(ZOBL_PACKAGE_DOC_DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/zobl-ge)
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright DESTINATION ${ZOBL_PACKAGE_DOC_DESTINATION})

# The changelog entry carries the project's version and release date; Debian wants its date in
# RFC 2822 form and the file compressed.
execute_process(COMMAND date -u -R -d "${ZOBL_RELEASE_DATE} 12:00:00"
                OUTPUT_VARIABLE ZOBL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE zobl_date_result)
if(NOT zobl_date_result EQUAL 0)
    message(FATAL_ERROR "ZOBL_RELEASE_DATE ${ZOBL_RELEASE_DATE} is not a date (YYYY-MM-DD)")
endif()
configure_file(${CMAKE_SOURCE_DIR}/data/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
zobl_gzip(${CMAKE_BINARY_DIR}/debian/changelog)
add_custom_target(zobl_package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${ZOBL_PACKAGE_DOC_DESTINATION})

set(CPACK_PACKAGE_NAME zobl-ge)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZOBL Graphics Editor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pixel editor for the graphics of the railway simulator TRAK")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
# Directories CPack creates itself would otherwise follow the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_NAME zobl-ge)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZOBL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins are loaded at run time, out of dpkg-shlibdeps' sight. The X11 one comes
# with libqt6gui6, which the programs link; a Wayland session needs this one besides.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Debian translates descriptions in the archive, not in the package, and CPack writes no
# Description-de field: the German text is the description's last paragraph.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Draw scenery symbols (.gs) and vehicle sets (.fgs) for the railway simulator
TRAK pixel by pixel in the simulator's palette of 100 colours, keep them in the
editor's files, export them in the simulator's formats and import vehicles from
the simulator's own data. The command-line tool zobl-tool describes, converts,
exports and makes thumbnails of these files without a window.

Deutsch: Landschaftssymbole (.gs) und Fahrzeugsätze (.fgs) für den
Eisenbahnsimulator TRAK Pixel für Pixel in seiner Palette aus 100 Farben
zeichnen, in eigenen Dateien aufbewahren, in den Formaten des Simulators
exportieren und Fahrzeuge aus den Daten des Simulators übernehmen. Das
Kommandozeilenwerkzeug zobl-tool beschreibt, wandelt, exportiert diese Dateien
und erzeugt Vorschaubilder, ohne ein Fenster zu öffnen.")

include(CPack)
