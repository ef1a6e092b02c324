# `cpack -G DEB` in a build configured with -DCMAKE_INSTALL_PREFIX=/usr turns what
# `cmake --install` lays down into vbu_<version>_<arch>.deb (tools/dev.sh package does both).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vbu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantor's Bind Utility developers")
set(CPACK_PACKAGE_CONTACT "Vantor's Bind Utility developers <vbu-feedback@users.noreply.codeberg.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bindings manager for Quake and Quake 2 console scripts")
set(CPACK_PACKAGE_DESCRIPTION [[
Vantor's Bind Utility composes the bind, set and alias lines of a Quake or
Quake 2 console script, shows the script as a list of lines to edit and saves
it as a .cfg or .scr file that the game runs. It names keys, mouse buttons and
the wheel as the game does, lists both games' console commands, composes
player names from the game's console font and checks a script for what the
game would drop or misread.

The package also holds vbu-cfg, which reads, rewrites and checks scripts the
same way from the command line.]])
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_VBU_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageStrip.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps works out Depends from the libraries the programs link. Qt's window-system
# plugins are loaded at run time, which it cannot see: without them the editor opens no window.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
