# Read by cpack for each package kind: the .deb installs under /usr, the portable archive holds
# the installed tree at its top (bin/, share/), to be unpacked and run anywhere.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
# Debian keeps games in /usr/games: the .deb moves the game there (the tools stay in /usr/bin).
# Both folders sit one level below /usr, so the game still finds its data set.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/DebianGamesFolder.cmake")
endif()
