# Install directories follow GNUInstallDirs. The game's data set (Data/, Docs/) goes to
# KESTRUNE_DATADIR (share/kestrune by default; Debian's games layout uses
# -DCMAKE_INSTALL_BINDIR=games -DKESTRUNE_DATADIR=share/games/kestrune). The path from the
# programs' folder to it is fixed here, so an installed tree still finds its data when moved.
include(GNUInstallDirs)
set(KESTRUNE_DATADIR "${CMAKE_INSTALL_DATADIR}/kestrune" CACHE STRING
  "Where the game's data set is installed, relative to the prefix")
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${KESTRUNE_DATADIR}")
  message(FATAL_ERROR "CMAKE_INSTALL_BINDIR and KESTRUNE_DATADIR must be relative to the prefix "
                      "(the game finds its data from its own folder)")
endif()
file(RELATIVE_PATH data_from_bin "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${KESTRUNE_DATADIR}")
set(KESTRUNE_DATA_FROM_BIN "${data_from_bin}" CACHE INTERNAL "The data set's path from the programs' folder")
