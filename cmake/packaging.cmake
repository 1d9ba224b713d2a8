# The license and the changelog go where Debian keeps a package's papers, and CPack makes
# a Debian package from all the install rules: cmake --build <dir> --target package.

install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/vimbo RENAME copyright)
install(FILES ${CMAKE_SOURCE_DIR}/CHANGELOG.md DESTINATION share/doc/vimbo)

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME vimbo)
set(CPACK_PACKAGE_VENDOR "the VIMBO project authors")
set(CPACK_PACKAGE_CONTACT "the VIMBO project authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service tool for the SMS controller board")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_PACKAGE_DESCRIPTION
    "A serial console in AT and PC command mode, EEPROM backups into .eep files and
their restore, and firmware updates for the SMS controller board, over a serial
port or a USB-serial converter. With a board simulator, the manual and command
examples.")
# The libraries the programs link (dpkg-shlibdeps) name most of what is needed; Qt's window
# system plugins are only recommended by Qt itself, and without them no window opens.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# The log's Courier New look; "Read Infos" opens the manual through xdg-open, which every
# desktop has (as a recommendation it would bring some fifty packages to a bare machine).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xdg-utils)

include(CPack)
