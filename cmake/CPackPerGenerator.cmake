# Read by cpack for each package kind: the .deb installs under /usr, the portable archive holds
# the installed tree at its top (bin/, share/), to be unpacked and run anywhere.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
