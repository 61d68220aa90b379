# `cmake --install build --prefix P` lays the game out as a relocatable tree: the programs in
# P/bin, the generated data set and the documents in P/share/kestrune (which the game finds
# from its own location, P/bin/../share/kestrune). Saves are not installed.
include(GNUInstallDirs)
set(KESTRUNE_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kestrune)

install(TARGETS kestrune kestrune-pack kestrune-replay kestrune-roadview soundcheck
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${KESTRUNE_DATA_DIR}/Res ${KESTRUNE_DATA_DIR}/Music
  DESTINATION ${KESTRUNE_SHARE_DIR}/Data PATTERN "*.stamp" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
  DESTINATION ${KESTRUNE_SHARE_DIR}/Docs OPTIONAL)

# Desktop integration: the menu entry, the icon at each size it is drawn in, the AppStream
# metainfo, each in its standard place below PREFIX/share.
install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/org.kestrune.Kestrune.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/org.kestrune.Kestrune.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${KESTRUNE_ICON_DIR}/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor FILES_MATCHING PATTERN "*.png")

# The fonts the game writes its text in, with their licences (Data/Fonts), and the player's guide
# the game's links open (Docs/guide.html).
install(DIRECTORY ${KESTRUNE_DATA_DIR}/Fonts DESTINATION ${KESTRUNE_SHARE_DIR}/Data)
install(FILES ${CMAKE_SOURCE_DIR}/Docs/guide.html DESTINATION ${KESTRUNE_SHARE_DIR}/Docs)
