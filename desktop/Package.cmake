# The Debian package: `cpack` in a configured build folder (`make package` does a Release build
# for it). It holds the components program, desktop and manual, and the component debian of this
# file: the launcher in /usr/games, where Debian keeps games, with a desktop entry naming it, and
# the licence as doc/zorbalin/copyright in Debian's format with a changelog beside it. Expects
# ZORBALIN_MAINTAINER, ZORBALIN_SITE_HOST, ZORBALIN_RELEASE_DATE_RFC and ZORBALIN_DOC_DIR.

# The licence in Debian's copyright format, its text taken from LICENSE: every line indented by
# one space, an empty line written as " .".
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" licence)
string(REGEX MATCH "Permission is hereby granted.*\nSOFTWARE\\.\n" expat "${licence}")
if(expat STREQUAL "")
  message(FATAL_ERROR "LICENSE holds no MIT permission text")
endif()
string(REGEX REPLACE "\n$" "" expat "${expat}")
string(REPLACE "\n\n" "\n.\n" expat "${expat}")
string(REPLACE "\n" "\n " ZORBALIN_EXPAT_TEXT " ${expat}")
set(debian_copyright "${CMAKE_CURRENT_BINARY_DIR}/debian/copyright")
configure_file(copyright.in "${debian_copyright}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")

set(debian_changelog "${CMAKE_CURRENT_BINARY_DIR}/debian/changelog")
configure_file(changelog.in "${debian_changelog}" @ONLY)
zorbalin_gzip("${debian_changelog}" debian_changelog_gz)

# Only the package installs these; `make install` keeps bin/ and the plain LICENSE.
install(FILES "${debian_copyright}" "${debian_changelog_gz}" DESTINATION ${ZORBALIN_DOC_DIR}
        COMPONENT debian EXCLUDE_FROM_ALL)
zorbalin_configure_launcher(zorbalin games_launcher games)
install(PROGRAMS "${games_launcher}" DESTINATION games COMPONENT debian EXCLUDE_FROM_ALL)
zorbalin_install_desktop_entry(games debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbalin)
set(CPACK_PACKAGE_VENDOR "The ZorbaLin developers")
set(CPACK_PACKAGE_CONTACT "${ZORBALIN_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${ZORBALIN_SITE_HOST}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pebble puzzle game with a Hungarian interface")
set(CPACK_PACKAGE_DESCRIPTION
    "ZorbaLin is a single-player pebble puzzle. The board holds 18 columns of 9
pebbles in three, four or five colours. A click on a pebble removes it
together with every pebble of its colour joined to it, as long as the group
holds at least two; the pebbles above drop and empty columns close up. The
fewer pebbles are left when no move remains, the better.")
# One package of the components a player needs; the absolute paths written when installing
# (the desktop entry's Exec) must name /usr, not the staging folder, hence DESTDIR.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL program desktop manual debian)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZORBALIN_MAINTAINER}")
# The libraries come from the binary; the fonts are asked for by name at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-liberation, fonts-comic-neue")
# The news and home-page buttons open the browser with xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
