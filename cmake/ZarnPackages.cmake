# The Debian packages, made by CPack from the install rules' components:
#   zarn-tennis  <- game_debian: the game in games/, its data in share/games/zarn-tennis, desktop
#                   entry, icon, metainfo, manual page;
#   libzarn-dev  <- dev (headers, the getting-started program), dev_debian (static libraries,
#                   CMake and pkg-config files in the multiarch folder, cmake/ZarnInstall.cmake),
#                   examples (the examples' sources, under share/doc/zarn/examples) and reference
#                   (the HTML reference, under share/doc/zarn/html).
# The components game_debian and dev_debian hold what only the packages install (Debian's layout
# of a game and of libraries, and the packages' copyright and changelog files); `cmake --install`
# leaves them out, and the package leaves out dev_lib, the libraries in `cmake --install`'s layout.
# `cmake --build build --target package` writes the two .deb files into the build folder.

if(NOT TARGET zarn-tennis)  # the packages need the game, which needs the SDL backend
  return()
endif()

# The getting-started program (the install check builds this very file), with a picture and a
# sound to try it on: the game's ball sheet and racquet sound.
set(ZARN_GETTING_STARTED_DIR ${ZARN_DOC_DIR}/getting_started)
install(FILES tests/install/consumer/CMakeLists.txt tests/install/consumer/main.cpp tests/install/consumer/main.c
  DESTINATION ${ZARN_GETTING_STARTED_DIR} COMPONENT dev)
install(FILES ${ZARN_GAME_DATA_DIR}/BallCell.BMP DESTINATION ${ZARN_GETTING_STARTED_DIR} RENAME ball.bmp
  COMPONENT dev)
install(FILES ${ZARN_GAME_DATA_DIR}/TennisThwack.WAV DESTINATION ${ZARN_GETTING_STARTED_DIR} RENAME thwack.wav
  COMPONENT dev)
if(WIN32)  # the Windows build's install is the library's archive; it has no Debian packages
  return()
endif()

# Each package's copyright file and changelog, compressed as Debian wants.
set(ZARN_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${ZARN_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/packaging/changelog
  COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${ZARN_CHANGELOG_GZ})
foreach(pair "zarn-tennis:game_debian" "libzarn-dev:dev_debian")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 package)
  list(GET pair 1 component)
  install(FILES packaging/copyright ${ZARN_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
    COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarn)
set(CPACK_PACKAGE_VENDOR "The Zarn Tennis developers")
set(CPACK_PACKAGE_CONTACT "Zarn Tennis maintainers <maintainers@zarn-tennis.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_COMPONENTS_ALL game_debian dev dev_debian examples reference)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE zarn)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies on the shared libraries the programs actually link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_TENNIS_PACKAGE_NAME zarn-tennis)
set(CPACK_DEBIAN_TENNIS_PACKAGE_SECTION games)
set(CPACK_DEBIAN_TENNIS_PACKAGE_DEPENDS fonts-dejavu-core)  # the SDL backend's text font
set(CPACK_DEBIAN_TENNIS_DESCRIPTION "two-player tennis at one keyboard
A paddle-and-ball tennis game for two players sharing one keyboard, full
screen with sound. Each player moves a racquet up and down at one side of
the court and returns the ball; a ball that passes a racquet is a point for
the other player.")

set(CPACK_DEBIAN_LIBDEV_PACKAGE_NAME libzarn-dev)
set(CPACK_DEBIAN_LIBDEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBDEV_PACKAGE_DEPENDS "libsdl2-dev, libsdl2-ttf-dev, fonts-dejavu-core")
set(CPACK_DEBIAN_LIBDEV_PACKAGE_SUGGESTS "cmake, pkg-config")
set(CPACK_DEBIAN_LIBDEV_DESCRIPTION "game-programming support layer for C++ (static libraries)
Zarn is the support layer beneath the Zarn Tennis game, made for writing
games: an 8-bit display with sprites, BMP pictures and palettes,
transitions, text, clock and log, lines; a sound table with WAV and VOC
loading; keyboard, mouse and joystick. Programs link the library with one
backend: SDL (a window, sound and input) or headless (in memory, for tests).
.
This package holds the headers, the static libraries, the CMake package
(find_package(Zarn)) and pkg-config files (zarn-sdl, zarn-headless), the
getting-started program and the examples' sources.")

include(CPack)
cpack_add_component_group(tennis)
cpack_add_component_group(libdev)
cpack_add_component(game_debian GROUP tennis)
cpack_add_component(dev GROUP libdev)
cpack_add_component(dev_debian GROUP libdev)
cpack_add_component(examples GROUP libdev)
cpack_add_component(reference GROUP libdev)
