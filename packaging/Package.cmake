# Installation and the Debian package (`cpack -G DEB` in the build folder).
#
# Layout: the programs lie side by side in /usr/lib/zentyr, where Zentyr finds the simulated
# host, its profile and the Skins folder beside itself, with links in /usr/bin for the path and
# the desktop entry. Nothing is written there at run time: the settings and the desktop layout
# go to the user's configuration folder, and the simulated controller's folder (programs,
# macros, a copy of the profile) to the user's data folder.
set(ZENTYR_PROGRAM_DIR lib/zentyr)
install(TARGETS zentyr hostsim RUNTIME DESTINATION ${ZENTYR_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/sim/app/Mach3Mill.xml DESTINATION ${ZENTYR_PROGRAM_DIR})
install(FILES ${ZENTYR_SKIN_FILES} DESTINATION ${ZENTYR_PROGRAM_DIR}/Skins)

set(ZENTYR_LINK_DIR ${CMAKE_BINARY_DIR}/packaging/bin)
file(MAKE_DIRECTORY ${ZENTYR_LINK_DIR})
foreach(program zentyr hostsim)
  file(CREATE_LINK ../${ZENTYR_PROGRAM_DIR}/${program} ${ZENTYR_LINK_DIR}/${program} SYMBOLIC)
  install(FILES ${ZENTYR_LINK_DIR}/${program} DESTINATION bin)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/zentyr.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/zentyr.svg
  DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/zentyr.png
  DESTINATION share/icons/hicolor/128x128/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentyr)
set(CPACK_PACKAGE_VENDOR "The Zentyr developers")
set(CPACK_PACKAGE_CONTACT "The Zentyr developers <zentyr@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Operator windows for the Mach3 CNC controller, with a simulated machine")
set(CPACK_PACKAGE_DESCRIPTION
  "Zentyr adds small floating windows to the Mach3 CNC controller: readouts, jog, spindle, G-code editor, user buttons and lamps, and bamboo rod milling. On Linux it runs against hostsim, a simulated controller installed with it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
# Library dependencies are read from the programs; the window system plugin is loaded at run
# time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
