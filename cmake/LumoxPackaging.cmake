# Installing Lumox as a desktop program, and the Debian package CPack builds
# from it (cpack -G DEB in the build directory):
#   bin/lumox, bin/lumox-settings (when Qt is there), the man page, the
#   settings' desktop entry and icons, the descriptor that desktop
#   screen-saver daemons list savers by, and the user guide.
include(GNUInstallDirs)

set(LUMOX_DATA_DIR ${PROJECT_SOURCE_DIR}/hosts/linux/data)

install(TARGETS lumox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LUMOX_DATA_DIR}/lumox.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${LUMOX_DATA_DIR}/lumox.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
foreach(size 48 256)
  install(FILES ${LUMOX_DATA_DIR}/lumox-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME lumox.png)
endforeach()
if(TARGET lumox-settings)
  install(TARGETS lumox-settings RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${LUMOX_DATA_DIR}/lumox-settings.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()
if(TARGET lumox_guide)
  install(FILES ${LUMOX_GUIDE_HTML} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumox)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumox)
set(CPACK_PACKAGE_VERSION 3.5.350)
set(CPACK_PACKAGE_VENDOR "Lumox")
set(CPACK_PACKAGE_CONTACT "Lumox developers <lumox@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated screen saver with palette animation")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Lumox draws animated pictures in 236 colours that keep changing: colour\n"
       "cycling, fades and cross-fades into new colour effects. Twelve display\n"
       "modules run alone or together, and their controls can follow live sound\n"
       "levels.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET lumox-settings)
  # On a Wayland desktop without X the settings window needs Qt's Wayland
  # platform plugin, which no library dependency brings in.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
