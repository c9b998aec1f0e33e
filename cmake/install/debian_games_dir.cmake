# Run by CPack on the package's tree before it is packed: the launchers move from usr/bin to
# usr/games, where Debian keeps the commands of games. They find the games' files from their own
# place, which lies one level below usr either way.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr)
file(RENAME ${usr}/bin ${usr}/games)
