# Copies the game's documents that the menus' links open into the Docs folder of the build tree
# (the game's working directory). A document not written yet is skipped; the link then says so
# on standard error.
foreach(doc README.md LICENSE)
  if(EXISTS ${SOURCE_DIR}/${doc})
    file(COPY_FILE ${SOURCE_DIR}/${doc} ${DOCS_DIR}/${doc} ONLY_IF_DIFFERENT)
  endif()
endforeach()
