# Read by cpack once for every generator it runs (CPACK_PROJECT_CONFIG_FILE).
# The release archive carries the name the site serves and the updater
# downloads; the Debian package keeps Debian's naming.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "velmora")
endif()
