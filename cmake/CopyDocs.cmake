# Copies the game's documents into the Docs folder of the build tree (the game's working
# directory): the player's guide, whose sections the game's links open, and the README and the
# licence beside it. A document not written yet is skipped; a link to it then says so on
# standard error.
foreach(doc README.md LICENSE docs/guide.html)
  if(EXISTS ${SOURCE_DIR}/${doc})
    get_filename_component(name ${doc} NAME)
    file(COPY_FILE ${SOURCE_DIR}/${doc} ${DOCS_DIR}/${name} ONLY_IF_DIFFERENT)
  endif()
endforeach()
