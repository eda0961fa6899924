# Desktop integration (menu entry, icons) and the Debian package built by `cpack -G DEB`.
# Included last from the top-level CMakeLists.txt, after every target with an install() rule.
include(GNUInstallDirs)

set(KT7_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KT7_WINDOW_ICON ${CMAKE_SOURCE_DIR}/resources/kt7.xpm)

# PNG icons for the hicolor theme, enlarged from the 16x16 window icon at build time (leak
# checks off: in a sanitizer build a leak report from Qt could fail the build step).
add_executable(kt7-icon-png ${KT7_PACKAGING_DIR}/kt7-icon-png.cpp)
target_link_libraries(kt7-icon-png PRIVATE Qt6::Gui)
set_target_properties(kt7-icon-png PROPERTIES AUTOMOC OFF AUTORCC OFF)
set(KT7_ICON_SIZES 16 32 48 64 128 256)
set(KT7_ICON_PNGS)
foreach(size IN LISTS KT7_ICON_SIZES)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/kt7-logger.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
      $<TARGET_FILE:kt7-icon-png> ${KT7_WINDOW_ICON} ${png} ${size}
    DEPENDS kt7-icon-png ${KT7_WINDOW_ICON}
    COMMENT "Icon ${size}x${size}"
    VERBATIM)
  list(APPEND KT7_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(kt7-icons ALL DEPENDS ${KT7_ICON_PNGS})

install(FILES ${KT7_PACKAGING_DIR}/kt7-logger.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KT7_WINDOW_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME kt7-logger.xpm)
install(FILES ${KT7_PACKAGING_DIR}/kt7-logger.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# An example unit for logging with no window, for the administrator to copy and adapt.
install(FILES ${KT7_PACKAGING_DIR}/kt7-logger.service
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kt7-logger/examples)

# Debian package. Library dependencies (libqt6widgets6, libqt6serialport6,
# libqcustomplot2.1-qt6, ...) are worked out by dpkg-shlibdeps from the installed binaries.
set(KT7_PACKAGE_MAINTAINER "KT7 Logger developers <kt7-logger@localhost>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kt7-logger)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "KT7 Logger developers")
set(CPACK_PACKAGE_CONTACT ${KT7_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "data logger for KT7 measuring instruments on RS-232 ports")
set(CPACK_PACKAGE_DESCRIPTION
  "Records readings from up to eight KT7 instruments, each streaming text lines\n\
over its own serial port. Shows live values as numbers and as eight traces on\n\
one chart with a Y axis per device, writes samples to a CSV log (every reading,\n\
every N seconds or on request), tares each device, and saves and reloads the\n\
whole set-up.\n\
\n\
Also contains kt7-sim, an instrument simulator that streams readings on\n\
pseudo-terminals linked as COM ports, for trying the logger without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KT7_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
