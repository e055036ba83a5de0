# Linux and other desktops: a tool for pictures of the window, installation with desktop integration,
# the Debian package, and the benchmarks.

# Takes a picture of a window on an X display (for `make run` without a display, and the docs).
add_executable(quorvane_window_shot tools/window_shot.cpp)
target_link_libraries(quorvane_window_shot PRIVATE Qt6::Gui)

# Installation: the program, its desktop entry, its icon in the hicolor theme and its AppStream
# metainfo; `make package` turns the same into a Debian package.
include(GNUInstallDirs)
set(QUORVANE_APP_ID org.quorvane.Quorvane)
set(QUORVANE_ICON_SIZES 16 32 48 64 128 256)

add_executable(quorvane_render_icons tools/render_icons.cpp)
target_link_libraries(quorvane_render_icons PRIVATE Qt6::Gui)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(icon_files)
foreach(size IN LISTS QUORVANE_ICON_SIZES)
  list(APPEND icon_files ${icon_dir}/${size}x${size}/apps/${QUORVANE_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND quorvane_render_icons ${CMAKE_CURRENT_SOURCE_DIR}/src/app/icons/quorvane-16.xpm
          ${icon_dir} ${QUORVANE_APP_ID} ${QUORVANE_ICON_SIZES}
  DEPENDS quorvane_render_icons src/app/icons/quorvane-16.xpm
  COMMENT "Rendering the application icon at every theme size")
add_custom_target(quorvane_icons ALL DEPENDS ${icon_files})

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program ignores its command line, so the entry claims no file type: a file manager offers it
# for no file it could not open.
install(FILES src/app/desktop/${QUORVANE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(src/app/desktop/${QUORVANE_APP_ID}.metainfo.xml.in
  ${QUORVANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${QUORVANE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS QUORVANE_ICON_SIZES)
  install(FILES ${icon_dir}/${size}x${size}/apps/${QUORVANE_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The package's copyright file, in Debian's machine-readable format (copyright-format 1.0), from
# LICENSE: a licence paragraph's text is indented by one space, an empty line written " .".
include(cmake/licence.cmake)
string(REPLACE "\n\n" "\n.\n" deb_licence "${QUORVANE_LICENCE_GRANT}")
string(REPLACE "\n" "\n " deb_licence " ${deb_licence}")
configure_file(cmake/debian-copyright.in copyright @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "Quorvane developers <developers@quorvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "editor for the type chart of generation III Game Boy Advance games")
set(CPACK_PACKAGE_DESCRIPTION "Opens a Ruby, Sapphire, Emerald, Fire Red or Leaf Green ROM \
image (English or French release), shows its 111 type-effectiveness records, lets them be \
changed, inserted and deleted, and writes the 333 chart bytes back in place.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quorvane.org/)
# The shared libraries the program links come from dpkg-shlibdeps; the X11 platform plug-in and
# the toolkit's French texts are loaded at run time, so they are named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
include(CPack)


# Benchmarks (`make bench`), never run by the tests.
add_executable(quorvane_bare_window bench/bare_window.cpp)
target_link_libraries(quorvane_bare_window PRIVATE Qt6::Widgets)
add_executable(quorvane_io_bench bench/io_bench.cpp)
target_link_libraries(quorvane_io_bench PRIVATE quorvane_core)
find_library(QUORVANE_XCB_LIBRARY xcb)
if(QUORVANE_XCB_LIBRARY)
  add_executable(quorvane_map_wait bench/map_wait.cpp)
  target_link_libraries(quorvane_map_wait PRIVATE ${QUORVANE_XCB_LIBRARY})
endif()
