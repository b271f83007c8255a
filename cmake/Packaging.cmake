# Installing: the program in bin/, what it reads at run time (help pages, the spreadsheet
# template) in share/veldra-accounting/, where shippedFile() finds it from bin/; the desktop
# entry, its icons and the AppStream data where desktops look for them. The same layout
# under any prefix, so `cmake --install` serves other distributions too.
include(GNUInstallDirs)
set(VELDRA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/veldra-accounting)

install(TARGETS veldra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help DESTINATION ${VELDRA_DATA_DIR})
install(FILES ${VELDRA_TEMPLATE} ${VELDRA_STATEMENT_TEMPLATE} DESTINATION ${VELDRA_DATA_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veldra-accounting.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/invalid.veldra.Accounting.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/veldra-accounting.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Bitmap icons for desktops that want them, drawn from the SVG when the converter is there.
find_program(VELDRA_RSVG_CONVERT rsvg-convert)
if(VELDRA_RSVG_CONVERT)
  set(_veldra_icons)
  foreach(size 16 24 32 48 64 128 256)
    set(png ${PROJECT_BINARY_DIR}/icons/${size}/veldra-accounting.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}
      COMMAND ${VELDRA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/packaging/veldra-accounting.svg
      DEPENDS ${PROJECT_SOURCE_DIR}/packaging/veldra-accounting.svg VERBATIM)
    list(APPEND _veldra_icons ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(veldra_icons ALL DEPENDS ${_veldra_icons})
endif()

# The manual page, compressed as Debian wants it (gzip -n: no time stamp, so builds repeat).
find_program(VELDRA_GZIP gzip)
if(VELDRA_GZIP)
  foreach(doc veldra.1 changelog)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${doc}.gz
      COMMAND ${VELDRA_GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/${doc} > ${PROJECT_BINARY_DIR}/${doc}.gz
      DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc})
  endforeach()
  add_custom_target(veldra_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/veldra.1.gz ${PROJECT_BINARY_DIR}/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/veldra.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veldra-accounting)
endif()

# Debian's copyright file.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veldra-accounting)

set(CPACK_PACKAGE_NAME veldra-accounting)
set(CPACK_PACKAGE_VENDOR "Veldra Accounting")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "double-entry bookkeeping for several companies and users")
set(CPACK_PACKAGE_DESCRIPTION "Veldra Accounting keeps the books of several companies on one shared
MySQL or MariaDB database: trial balance, journal entries, setup of companies,
cost centres, financial years and accounts, and access rights per company.
This package is built for one site and holds its database settings.")
set(CPACK_PACKAGE_CONTACT "Veldra Accounting developers <developers@veldra.invalid>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The driver is a plugin the program loads at run time, so no library dependency shows it.
# libcsv3 is named too: the shared-library scan finds it only where its package is installed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-mysql, libcsv3")
# Exported workbooks and the help pages open through the desktop's xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
