# Read by cpack once for every generator it runs (CPACK_PROJECT_CONFIG_FILE).
# A build without the publisher's key, and without its builder's leave to be
# unsigned, is refused here, before anything is packed.
if(CPACK_VELMORA_UNSIGNED_REFUSAL)
  message(FATAL_ERROR "${CPACK_VELMORA_UNSIGNED_REFUSAL}")
endif()
# The release archive carries the name the site serves and the updater
# downloads; the Debian package keeps Debian's naming.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "velmora")
endif()
