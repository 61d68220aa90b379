# `cmake --install build --prefix P` lays the game out as a relocatable tree: the programs in
# P/${CMAKE_INSTALL_BINDIR}, the generated data set and the documents in P/${KESTRUNE_DATADIR}
# (found from the game's own folder, see cmake/InstallDirs.cmake), manual pages and bash
# completion in their standard places. Saves are not installed; the developer tools
# (kestrune-monkey, soundcheck) neither.
set(KESTRUNE_SHARE_DIR ${KESTRUNE_DATADIR})

install(TARGETS kestrune kestrune-pack kestrune-replay kestrune-roadview
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

# Manual pages (hand-written roff, compressed as distributions ship them).
find_program(GZIP_PROGRAM gzip)
set(KESTRUNE_MAN_PAGES kestrune.6 kestrune-pack.1 kestrune-replay.1 kestrune-roadview.1)
foreach(page ${KESTRUNE_MAN_PAGES})
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
  set(source ${CMAKE_SOURCE_DIR}/assets/man/${page})
  if(GZIP_PROGRAM)
    set(packed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${GZIP_PROGRAM} -9 -n -c ${source} > ${packed}
      DEPENDS ${source} VERBATIM)
    list(APPEND KESTRUNE_PACKED_MAN ${packed})
    install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  else()
    install(FILES ${source} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  endif()
endforeach()
# The package's documents in share/doc/kestrune, as Debian wants them: "copyright" in Debian's
# machine-readable format (the game's MIT licence and each font's holders and licence) and the
# changelog compressed.
set(KESTRUNE_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kestrune)
install(FILES ${CMAKE_SOURCE_DIR}/assets/copyright DESTINATION ${KESTRUNE_PACKAGE_DOC_DIR})
if(GZIP_PROGRAM)
  set(packed ${CMAKE_BINARY_DIR}/man/changelog.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_SOURCE_DIR}/CHANGELOG.md > ${packed}
    DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md VERBATIM)
  list(APPEND KESTRUNE_PACKED_MAN ${packed})
  install(FILES ${packed} DESTINATION ${KESTRUNE_PACKAGE_DOC_DIR})
else()
  install(FILES ${CMAKE_SOURCE_DIR}/CHANGELOG.md DESTINATION ${KESTRUNE_PACKAGE_DOC_DIR})
endif()
if(KESTRUNE_PACKED_MAN)
  add_custom_target(kestrune_man ALL DEPENDS ${KESTRUNE_PACKED_MAN})
endif()
# bash-completion loads a command's completion from the file named after it: one per program.
foreach(program kestrune kestrune-pack kestrune-replay kestrune-roadview)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/completion/kestrune
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${program})
endforeach()

# The fonts the game writes its text in, with their licences (Data/Fonts), and the player's guide
# the game's links open (docs/guide.html, installed as Docs/guide.html).
install(FILES ${KESTRUNE_GAME_FONT_FILES} DESTINATION ${KESTRUNE_SHARE_DIR}/Data/Fonts)
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide.html DESTINATION ${KESTRUNE_SHARE_DIR}/Docs)

# Packages: `cd build && cpack -G DEB` (or TGZ for a portable archive of the same tree).
set(CPACK_PACKAGE_NAME kestrune)
set(CPACK_PACKAGE_VENDOR "Kestrune developers")
set(CPACK_PACKAGE_CONTACT "Kestrune developers <kestrune@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down arcade racing game")
set(CPACK_PACKAGE_DESCRIPTION "Pick one of six cars and drive up a generated four-lane road against the\nclock, overtaking or shooting the traffic, dodging pedestrians, walls, kiosks\nand lamps, and collecting bonuses on ever longer, busier levels.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY kestrune)
set(CPACK_PACKAGE_FILE_NAME kestrune-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/kestrune/kestrune")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/CPackPerGenerator.cmake)
include(CPack)
