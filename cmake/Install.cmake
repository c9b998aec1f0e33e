# Installing: each game's program and library in lib/games/<command>/, its data in
# share/<command>/, a launcher bin/<command> that runs it in the player's own folder, a manual page,
# a .desktop file, hicolor icons and AppStream metainfo. CPack packs the same tree as one Debian
# package of both games.

set(GAMES_SCREENSHOT_BASE_URL "" CACHE STRING
    "Web address the README's docs/ folder is published at; when set the metainfo lists the screenshots")
set(GAMES_PACKAGE chickrun-cindervaulter)
set(GAMES_DOC_DIR share/doc/${GAMES_PACKAGE})

# The <screenshots> element for the README's pictures of one game, docs/<stem>-*.png, or nothing
# when no web address is set: AppStream takes screenshots only as web addresses.
function(screenshots_element out stem)
    set(element "")
    if(GAMES_SCREENSHOT_BASE_URL)
        file(GLOB pictures CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/docs
             ${PROJECT_SOURCE_DIR}/docs/${stem}-*.png)
        set(kind " type=\"default\"")
        foreach(picture ${pictures})
            string(APPEND element "    <screenshot${kind}>\n"
                   "      <image>${GAMES_SCREENSHOT_BASE_URL}/${picture}</image>\n"
                   "    </screenshot>\n")
            set(kind "")
        endforeach()
        if(element)
            set(element "  <screenshots>\n${element}  </screenshots>\n")
        endif()
    endif()
    set(${out} "${element}" PARENT_SCOPE)
endfunction()

# gzip_for_debian(file target): file.gz, made by target, compressed as Debian wants documentation:
# at the highest level and without the name and time that would make two builds differ.
function(gzip_for_debian file target)
    add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9nc ${file} > ${file}.gz DEPENDS ${file})
    add_custom_target(${target} ALL DEPENDS ${file}.gz)
endfunction()

# install_game(COMMAND name PROGRAM target LIBRARY target ID id ICONS folder DATA paths...
#              SCREENSHOTS pictures...): the program and its library go together, so the program
# still finds its library beside itself; DATA are files and folders of the run folder. The
# library is the program's alone, so it stays out of the linker's public folders (lib/ itself
# would have the package run ldconfig for nobody).
function(install_game)
    cmake_parse_arguments(G "" "COMMAND;PROGRAM;LIBRARY;ID;ICONS;STEM" "DATA;SCREENSHOTS" ${ARGN})
    set(PROGRAM ${G_PROGRAM})
    set(COMMAND ${G_COMMAND})
    set(PROGRAM_DIR lib/games/${G_COMMAND})
    set(DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/${G_COMMAND})
    set_target_properties(${G_PROGRAM} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${G_PROGRAM} ${G_LIBRARY} RUNTIME DESTINATION ${PROGRAM_DIR}
            LIBRARY DESTINATION ${PROGRAM_DIR} NAMELINK_SKIP)
    foreach(path ${G_DATA})
        if(IS_DIRECTORY ${path})
            install(DIRECTORY ${path} DESTINATION ${DATA_DIR})
        else()
            install(FILES ${path} DESTINATION ${DATA_DIR})
        endif()
    endforeach()
    set(staged ${CMAKE_BINARY_DIR}/install/${G_COMMAND})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/install/launcher.sh.in ${staged}/${G_COMMAND} @ONLY)
    install(PROGRAMS ${staged}/${G_COMMAND} DESTINATION ${CMAKE_INSTALL_BINDIR})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/install/${G_STEM}.desktop.in
                   ${staged}/${G_ID}.desktop @ONLY)
    install(FILES ${staged}/${G_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/install/${G_STEM}.metainfo.xml.in
                   ${staged}/${G_ID}.metainfo.xml @ONLY)
    install(FILES ${staged}/${G_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
    install(DIRECTORY ${G_ICONS}/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
    string(TOUPPER ${G_COMMAND} COMMAND_TITLE)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/install/${G_STEM}.6.in ${staged}/${G_COMMAND}.6
                   @ONLY)
    install(FILES ${staged}/${G_COMMAND}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    gzip_for_debian(${staged}/${G_COMMAND}.6 ${G_COMMAND}_manual_page)
endfunction()

include(GNUInstallDirs)
screenshots_element(GAME_SCREENSHOTS game)
screenshots_element(CINDERVAULTER_SCREENSHOTS cindervaulter)
install_game(COMMAND ${GAME_COMMAND} PROGRAM Game LIBRARY bass ID ${GAME_APP_ID} STEM game
             ICONS ${GAME_ICONS} DATA ${GAME_RUN_DIR}/Resources ${GAME_RUN_DIR}/Config.INI)
install_game(COMMAND ${CINDERVAULTER_COMMAND} PROGRAM Cindervaulter LIBRARY exgine
             ID ${CINDERVAULTER_APP_ID} STEM cindervaulter ICONS ${CINDERVAULTER_ICONS}
             DATA ${CINDERVAULTER_RUN_DIR}/maps ${CINDERVAULTER_RUN_DIR}/sounds
                  ${CINDERVAULTER_RUN_DIR}/locale)

# What Debian asks of every package's documentation: a machine-readable copyright, which carries
# the licences' full texts, and a compressed changelog.
configure_file(cmake/install/changelog ${CMAKE_BINARY_DIR}/install/changelog @ONLY)
gzip_for_debian(${CMAKE_BINARY_DIR}/install/changelog package_changelog)
configure_file(cmake/install/copyright.in ${CMAKE_BINARY_DIR}/install/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/install/copyright ${CMAKE_BINARY_DIR}/install/changelog.gz
        README.md DESTINATION ${GAMES_DOC_DIR})
install(DIRECTORY docs/ DESTINATION ${GAMES_DOC_DIR}/docs OPTIONAL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${GAMES_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Game and Cindervaulter developers <games@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two small OpenGL games: a 3D runner and a 2D physics arena")
set(CPACK_PACKAGE_DESCRIPTION "Game is a 3D runner: a yellow chick walks along a road while water holes
and jump pads come towards it; the space bar jumps, changes lane or halts.

Cindervaulter is a 2D physics arena: one key thrusts a three-particle
creature through walled arenas to every pickup and on to the exit.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The run-time libraries the programs and their two private libraries link, found by dpkg-shlibdeps
# (which finds the private ones in the ready-to-run folders).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${GAME_RUN_DIR} ${CINDERVAULTER_RUN_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/install/debian_games_dir.cmake)
include(CPack)
