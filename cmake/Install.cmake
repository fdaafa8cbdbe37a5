# Where an installed Vantrel puts its files (GNU layout): the two programs in bin, their texts
# and help pages in share/vantrel (found from the programs' own location), and what a desktop
# needs to list the program: the entry, the icon at every size, the AppStream metainfo, the
# manual pages and the copyright file.
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
# The manual pages go compressed, as Debian's policy asks: without a name or a time stamp in the
# header, so that two builds give the same bytes.
set(man_pages)
foreach(page vantrel vantrel-cli)
  set(source ${CMAKE_SOURCE_DIR}/resources/man/${page}.1)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${compressed} DEPENDS ${source}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CMAKE_BINARY_DIR}/man/${page}.1
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${page}.1 VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence in Debian's machine-readable copyright format.
install(FILES resources/doc/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)
