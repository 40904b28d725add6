# What `cmake --install` puts where, and the two Debian packages CPack makes
# of it: the game (component "game", package lumetra) and the toolkit for
# other programs (component "dev", package lumetra-toolkit-dev).
set(PKG ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(PKG_OUT ${CMAKE_CURRENT_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# ---- made by the build: the icons, the man page and changelogs compressed ----
add_executable(make_icon ${PKG}/make_icon.cpp)
target_link_libraries(make_icon PRIVATE lumetra_toolkit)
lumetra_options(make_icon)
set(ICON_SIZES 48 64 128 256)
set(GENERATED)
foreach(size ${ICON_SIZES})
  add_custom_command(OUTPUT ${PKG_OUT}/icons/${size}/lumetra.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PKG_OUT}/icons/${size}
    COMMAND make_icon ${size} ${PKG_OUT}/icons/${size}/lumetra.png DEPENDS make_icon)
  list(APPEND GENERATED ${PKG_OUT}/icons/${size}/lumetra.png)
endforeach()
# gzip -n: no name or time stamp in the header, so that equal sources make
# equal packages.
foreach(file lumetra.6 changelog)
  add_custom_command(OUTPUT ${PKG_OUT}/${file}.gz
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${PKG}/${file} ${PKG_OUT}/${file}.gz DEPENDS ${PKG}/${file} VERBATIM)
  list(APPEND GENERATED ${PKG_OUT}/${file}.gz)
endforeach()
add_custom_target(package_files ALL DEPENDS ${GENERATED})

# ---- the game: launcher, program, sounds, desktop integration ----
# Debian's places for games; the launcher finds the rest from its own folder.
install(PROGRAMS ${PKG}/lumetra.sh DESTINATION games RENAME lumetra COMPONENT game)
install(TARGETS lumetra DESTINATION lib/games/lumetra COMPONENT game)
install(FILES Data/beep.wav Data/urlo.wav DESTINATION share/games/lumetra/Data COMPONENT game)
install(FILES ${PKG}/example.lumetra.lumetra.desktop DESTINATION share/applications COMPONENT game)
install(FILES ${PKG}/example.lumetra.lumetra.metainfo.xml DESTINATION share/metainfo COMPONENT game)
foreach(size ${ICON_SIZES})
  install(FILES ${PKG_OUT}/icons/${size}/lumetra.png DESTINATION share/icons/hicolor/${size}x${size}/apps
    COMPONENT game)
endforeach()
install(FILES ${PKG_OUT}/lumetra.6.gz DESTINATION share/man/man6 COMPONENT game)

# ---- the toolkit: library, headers under lumetra/, guide, pkg-config, CMake ----
install(TARGETS lumetra_toolkit EXPORT LumetraToolkitTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
# The guide and the gallery's sources, for a newcomer to start from.
set(DEV_DOC share/doc/lumetra-toolkit-dev)
install(FILES docs/toolkit.md docs/gallery.png DESTINATION ${DEV_DOC} COMPONENT dev)
install(DIRECTORY examples/gallery DESTINATION ${DEV_DOC}/examples COMPONENT dev)
set(CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/LumetraToolkit)
install(EXPORT LumetraToolkitTargets NAMESPACE Lumetra:: DESTINATION ${CMAKE_DIR} COMPONENT dev)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${PKG_OUT}/LumetraToolkitConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PKG}/LumetraToolkitConfig.cmake ${PKG_OUT}/LumetraToolkitConfigVersion.cmake
  DESTINATION ${CMAKE_DIR} COMPONENT dev)
# The pkg-config file names the prefix installed into, known only then.
install(CODE "set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(libdir \"${CMAKE_INSTALL_LIBDIR}\")
  set(includedir \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(version \"${PROJECT_VERSION}\")
  configure_file(\"${PKG}/lumetra-toolkit.pc.in\" \"${PKG_OUT}/lumetra-toolkit.pc\" @ONLY)" COMPONENT dev)
install(FILES ${PKG_OUT}/lumetra-toolkit.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# ---- each package's licence and changelog ----
foreach(component game dev)
  set(package lumetra)
  if(component STREQUAL dev)
    set(package lumetra-toolkit-dev)
  endif()
  install(FILES ${PKG}/copyright ${PKG_OUT}/changelog.gz DESTINATION share/doc/${package} COMPONENT ${component})
endforeach()

# ---- the Debian packages ----
# Equal sources make equal packages: the archives are dated by the last entry
# of the changelog (the first in the file), not by the time of packaging.
# CPack reads its own script at packaging time, with this date in place.
file(STRINGS ${PKG}/changelog trailers REGEX "^ -- ")
list(GET trailers 0 newest)
string(REGEX REPLACE "^ -- .*>  " "" released "${newest}")
execute_process(COMMAND date -d "${released}" +%s OUTPUT_VARIABLE SOURCE_DATE_EPOCH
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${PKG_OUT}/CPackDate.cmake "set(ENV{SOURCE_DATE_EPOCH} ${SOURCE_DATE_EPOCH})\n")
set(CPACK_PROJECT_CONFIG_FILE ${PKG_OUT}/CPackDate.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumetra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Lumetra developers <dev@lumetra.example>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game dev)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE lumetra)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME lumetra)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_GAME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS alsa-utils)
set(CPACK_COMPONENT_GAME_DESCRIPTION "memory game: repeat the sequence of lit boxes
Lumetra shows a board of four coloured boxes: red, yellow, blue and green.
Press START and the board lights a sequence of three boxes, one after
another, each with a beep; then press the boxes in the same order. Every
sequence repeated in full starts the next level, with a new sequence one box
longer; one wrong press ends the game.

It is a small program for the X Window System, written directly on Xlib with
its own widget toolkit (for other programs in lumetra-toolkit-dev). It plays
its sounds with aplay from alsa-utils, and silently without it.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME lumetra-toolkit-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS libx11-dev)
set(CPACK_COMPONENT_DEV_DESCRIPTION "small X11 widget toolkit of the Lumetra game
The toolkit of the Lumetra game, for programs of their own: an application
object with one event loop, top-level forms and dialogs, timers, drawing,
fonts and images, and controls painted on their form's window (buttons,
panels, cells, a text box, check and option boxes, a slider, a progress bar,
an image frame), all written directly on Xlib.

This package holds the static library, the headers under /usr/include/lumetra,
the pkg-config file lumetra-toolkit.pc and the CMake package LumetraToolkit
with the imported target Lumetra::Toolkit.")
include(CPack)
