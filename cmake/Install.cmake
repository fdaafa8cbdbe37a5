# Where an installed Vantrel puts its files (GNU layout): the two programs in bin, their texts
# and help pages in share/vantrel (found from the programs' own location), and what a desktop
# needs to list the program: the entry, the icon at every size, the AppStream metainfo and the
# manual pages.
include(GNUInstallDirs)

set(VANTREL_APP_ID org.vantrel.Vantrel)
set(VANTREL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vantrel)

# The programs look for the data folder relative to themselves, so that any prefix works.
file(RELATIVE_PATH data_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/vantrel)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/core/app/DataFolder.cpp DIRECTORY ${CMAKE_SOURCE_DIR}/src/core
  APPEND PROPERTY COMPILE_DEFINITIONS VANTREL_DATA_FROM_BIN="${data_from_bin}")

install(TARGETS vantrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vantrel)
  install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY resources/Language DESTINATION ${VANTREL_DATA_DIR} PATTERN keys.txt EXCLUDE)
install(DIRECTORY resources/Help DESTINATION ${VANTREL_DATA_DIR})

set(desktop ${CMAKE_SOURCE_DIR}/resources/desktop)
install(FILES ${desktop}/${VANTREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop}/${VANTREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop}/${VANTREL_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${desktop}/icon-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VANTREL_APP_ID}.png)
endforeach()
install(FILES resources/man/vantrel.1 resources/man/vantrel-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
