# Installing and packaging. The game plays eat.wav from its own folder, so the program and the sound
# live together in lib/orvex and bin/orvex is a relative link to them. Desktop entry, icons,
# AppStream data, manual page and licence complete the install; CPack turns the same install into a
# .deb, with the Debian-only parts added by debian_staging.cmake.

set(ORVEX_APP_ID io.github.orvex.Orvex)
set(ORVEX_MAINTAINER "The ORVEX developers <orvex@example.org>")

set(orvex_data ${PROJECT_SOURCE_DIR}/data)
set(orvex_generated ${CMAKE_BINARY_DIR}/data)
set(orvex_program_dir lib/orvex)
file(MAKE_DIRECTORY ${orvex_generated})

install(TARGETS orvex RUNTIME DESTINATION ${orvex_program_dir})
install(FILES ${ORVEX_PROGRAM_DIR}/eat.wav DESTINATION ${orvex_program_dir})

file(CREATE_LINK ../${orvex_program_dir}/orvex ${orvex_generated}/orvex SYMBOLIC)
install(FILES ${orvex_generated}/orvex DESTINATION bin)

install(FILES ${orvex_data}/${ORVEX_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${orvex_data}/${ORVEX_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${orvex_data}/${ORVEX_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)

# Bitmap icons for menus that do not draw SVG, rendered from the one drawing.
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
    set(orvex_icons)
    foreach(size 48 64 128 256)
        set(icon ${orvex_generated}/icons/${size}x${size}/${ORVEX_APP_ID}.png)
        add_custom_command(OUTPUT ${icon}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${orvex_generated}/icons/${size}x${size}
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${icon}
                ${orvex_data}/${ORVEX_APP_ID}.svg
            DEPENDS ${orvex_data}/${ORVEX_APP_ID}.svg
            COMMENT "Rendering the ${size} px icon")
        list(APPEND orvex_icons ${icon})
        install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(orvex_icons ALL DEPENDS ${orvex_icons})
else()
    message(WARNING "rsvg-convert not found: only the scalable icon is installed")
endif()

# Debian wants the manual page compressed with gzip -9n (no name, no time stamp).
add_custom_command(OUTPUT ${orvex_generated}/orvex.6.gz
    COMMAND sh -c "gzip -9nc '${orvex_data}/orvex.6' > '${orvex_generated}/orvex.6.gz'"
    DEPENDS ${orvex_data}/orvex.6
    VERBATIM)
add_custom_target(orvex_manual ALL DEPENDS ${orvex_generated}/orvex.6.gz)
install(FILES ${orvex_generated}/orvex.6.gz DESTINATION share/man/man6)
install(FILES ${orvex_data}/copyright DESTINATION share/doc/orvex)

# The Debian package: shared-library dependencies (Qt, libpulse0) come from dpkg-shlibdeps. Loaded
# at run time and so named here: the settings window's font and Qt's further platform plugins (the
# X11 one comes with libqt6gui6) with the Wayland one, without which a Wayland desktop runs the game
# through XWayland, or not at all where there is none.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvex)
set(CPACK_PACKAGE_VENDOR "The ORVEX developers")
set(CPACK_PACKAGE_CONTACT "${ORVEX_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVEX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, fonts-quicksand")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "worm arcade game for one or two players")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "ORVEX is a small arcade game: steer a worm over a board of
40 by 27 cells, eat the food points and grow with every bite. The first
worm to hit the border, an obstacle, its own body or the other worm ends the game.
Player 1 steers with the arrow keys, player 2 with A, D, W and S. Before
each game a settings window sets the speed, the level (ten obstacle layouts,
one of them new in every game), the number of food points and the growth
rate.")
set(CPACK_ORVEX_DATA_DIR ${orvex_data})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_staging.cmake)
include(CPack)
