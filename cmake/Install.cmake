# Installation into a prefix (make install PREFIX=… DESTDIR=…) and the Debian package
# (make package): the program, its desktop entry, its icon in the hicolor theme and its
# AppStream metadata.
include(GNUInstallDirs)

set(PIYO_LINUX_DIR ${CMAKE_SOURCE_DIR}/resources/linux)

install(TARGETS piyonote2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PIYO_LINUX_DIR}/piyonote2.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PIYO_LINUX_DIR}/io.github.piyonote2.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/app/piyonote2-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME piyonote2.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME piyonote2)
set(CPACK_PACKAGE_VERSION 2.04)
set(CPACK_PACKAGE_VENDOR "piyonote2")
set(CPACK_PACKAGE_CONTACT "piyonote2 developers <piyonote2@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese plain-text editor for Shift-JIS text")
set(CPACK_PACKAGE_DESCRIPTION "A plain-text editor for Japanese text in Shift-JIS (code page \
932): many pages on tabs in one window, tag commands, text transforms and an HTML preview.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps; what Qt loads at run time does not
# show there: the platform plugins, the Japanese translations and a font with Japanese glyphs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
include(CPack)
