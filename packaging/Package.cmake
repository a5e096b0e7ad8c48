# The Debian package (scripts/package): the program with its dll/ tools and manual in one folder
# under /usr/lib/vistrel-pro (it finds its files beside its executable), a link on the PATH,
# the launcher with its icons, and the manual page made from --help.
set(vistrel_home lib/vistrel-pro)
install(TARGETS vistrel-pro RUNTIME DESTINATION ${vistrel_home})
install(TARGETS regdll unregdll RUNTIME DESTINATION ${vistrel_home}/dll)
install(FILES ${CMAKE_BINARY_DIR}/help.html DESTINATION ${vistrel_home})

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
file(CREATE_LINK ../${vistrel_home}/vistrel-pro ${CMAKE_BINARY_DIR}/package/vistrel-pro SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package/vistrel-pro DESTINATION bin)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/vistrel-pro.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/completion/vistrel-pro
        DESTINATION share/bash-completion/completions)

# The release's day (SOURCE_DATE_EPOCH when set) in the changelog and the software centres'
# metadata, both made from the version.
string(TIMESTAMP CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP RELEASE_DAY "%Y-%m-%d" UTC)
configure_file(${CMAKE_SOURCE_DIR}/packaging/org.example.vistrel.VistrelPro.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/package/org.example.vistrel.VistrelPro.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/org.example.vistrel.VistrelPro.metainfo.xml
        DESTINATION share/metainfo)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/package/changelog
               @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/package/changelog > ${CMAKE_BINARY_DIR}/package/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/package/changelog)
add_custom_target(changelog_gz ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION share/doc/vistrel-pro)
foreach(side 48 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/artwork/vistrel-pro-${side}.png
          DESTINATION share/icons/hicolor/${side}x${side}/apps RENAME vistrel-pro.png)
endforeach()

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/vistrel-pro.1.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/vistrel-pro.1 > ${CMAKE_BINARY_DIR}/package/vistrel-pro.1.gz
  DEPENDS ${CMAKE_BINARY_DIR}/vistrel-pro.1)
add_custom_target(manpage_gz ALL DEPENDS ${CMAKE_BINARY_DIR}/package/vistrel-pro.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/package/vistrel-pro.1.gz DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vistrel-pro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "capture a whole web page into one picture file")
# Debian's lines of the long description are 80 characters at most; CPack puts the summary
# above them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vistrel Pro loads a web page in an embedded browser, scrolls it screen by
screen and pastes the screens into one picture: BMP, JPEG or PNG, with a
framed thumbnail. It has a capture wizard and an unattended command line that
also runs on servers with no display.")
set(CPACK_PACKAGE_CONTACT "Vistrel Pro developers <dev@vistrel.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The window texts are Chinese; pages commonly ask for Times New Roman and Arial. Captures out
# of sight run on Debian's headless Chromium.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, fonts-liberation2, chromium-headless-shell")
# Qt's own texts (dialog buttons, file dialogs) in Chinese; without it they are English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The system user root's captures run the browser as; left in place on removal, as Debian's
# packages leave theirs (files it may own elsewhere keep a known owner).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
