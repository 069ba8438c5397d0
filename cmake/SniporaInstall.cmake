# Where `cmake --install` puts the desktop integration (menu entry, icons,
# AppStream metainfo, MIME type for .nwa) and the manual pages, and how CPack
# packs it all into a .deb. The binaries install themselves (app/, cli/).

set(linux_dir ${PROJECT_SOURCE_DIR}/resources/linux)

foreach(page snipora.1 snipora-cut.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page} ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

if(SNIPORA_GUI)
  install(FILES ${linux_dir}/snipora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${linux_dir}/io.snipora.Snipora.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/io.snipora.Snipora.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/io.snipora.Snipora.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${linux_dir}/snipora-nwa.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME snipora.xml)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${linux_dir}/icons/snipora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME snipora.png)
  endforeach()
  install(FILES ${linux_dir}/icons/snipora.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# `cpack` in the build folder makes snipora_<version>_<arch>.deb. The shared
# libraries are found by dpkg-shlibdeps; Qt's platform plugins and the
# Japanese font are loaded at run time, so they are declared by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME snipora)
set(CPACK_PACKAGE_VENDOR "Snipora")
set(CPACK_PACKAGE_CONTACT "Snipora developers <snipora@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cut WAVE files into pieces without re-encoding")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Snipora opens one PCM WAVE or uncompressed NWA file, lets you listen, step through it in\n\
milliseconds or samples, set markers and reserve cut ranges, and saves every range as a\n\
byte-exact copy of the source's samples. snipora-cut does the same from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(SNIPORA_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n")
endif()
include(CPack)
