# What `cpack` makes from a build of the whole program:
#   velmora.zip                 the release archive as the publisher puts it on
#                               the site ("/velmora.zip"), the updater's download
#   velmora_<version>_<arch>.deb  the program for Debian, with its desktop entry
#                               and icons
# A core-only build has no program and packs nothing.
if(VELMORA_CORE_ONLY OR NOT TARGET velmora)
  return()
endif()

# What cpack makes goes to users, whatever the build type: a program that
# checks no signature is packed only when its builder said so at configure.
if(VELMORA_UPDATE_PUBLIC_KEY STREQUAL "" AND NOT VELMORA_ALLOW_UNSIGNED_UPDATES)
  string(CONCAT CPACK_VELMORA_UNSIGNED_REFUSAL
      "This build has no VELMORA_UPDATE_PUBLIC_KEY: its updater would take any archive from anyone on the path, "
      "so cpack packs nothing. Configure it with -DVELMORA_UPDATE_PUBLIC_KEY=<44 characters> "
      "(`velmora-sign keygen KEYFILE` makes the key pair), or with -DVELMORA_ALLOW_UNSIGNED_UPDATES=ON.")
endif()

include(GNUInstallDirs)
string(TOUPPER "${VELMORA_SITE_HOST}" velmora_site_upper)

if(WIN32)
  # The name the version record gives as the original file name.
  set_target_properties(velmora PROPERTIES OUTPUT_NAME "Velmora1.0")
  install(TARGETS velmora RUNTIME DESTINATION .)
  # Qt's libraries, plugins and the browser engine's process beside the
  # executable, as the program needs them on a machine without Qt.
  find_program(VELMORA_WINDEPLOYQT windeployqt HINTS "${QT6_INSTALL_PREFIX}/bin" "${Qt6_DIR}/../../../bin")
  if(VELMORA_WINDEPLOYQT)
    install(CODE "execute_process(COMMAND \"${VELMORA_WINDEPLOYQT}\" --no-translations --compiler-runtime
                    \"\${CMAKE_INSTALL_PREFIX}/Velmora1.0.exe\" COMMAND_ERROR_IS_FATAL ANY)")
  else()
    message(WARNING "windeployqt not found: the packages will hold the executable without Qt")
  endif()
  set(CPACK_GENERATOR "ZIP")
else()
  install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 24 32 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/velmora-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME velmora.png)
  endforeach()
  set(CPACK_GENERATOR "ZIP;DEB")
endif()

set(CPACK_PACKAGE_NAME "velmora")
set(CPACK_PACKAGE_VENDOR "WWW.${velmora_site_upper}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "One window onto the Velmora site / Velmora网络：一个窗口看网络电视、电影和股票行情")
set(CPACK_PACKAGE_DESCRIPTION
  "Velmora shows the publisher's web site in one window: a browser under a menu of\n\
eleven commands (nine pages of the site, a stock-quote window, an always-on-top\n\
toggle). At every start it checks the site for an update notice and can\n\
download the new release.\n\
\n\
Velmora 在一个窗口里打开网站的网络电视、高清电影、剧场、动漫、MTV、电台广播和\n\
免费电话页面，另有股票行情窗口和窗口置顶。每次启动时检查更新通知，可下载新版本。")
set(CPACK_PACKAGE_CONTACT "Velmora <support@${VELMORA_SITE_HOST}>")
set(CPACK_STRIP_FILES ON)

# The release archive: named as the site serves it (set per generator, as
# CPACK_ARCHIVE_FILE_NAME applies only to component packages before CMake 4),
# its contents at the top with no folder of their own.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/VelmoraCPackPerGenerator.cmake")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_SITE_SCHEME}://www.${VELMORA_SITE_HOST}")
# The libraries the executable links come from dpkg-shlibdeps; the browser
# engine's helper process is a program of its own, which it cannot see.
find_program(VELMORA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VELMORA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
# Every caption and menu item is Chinese: without a CJK font they are boxes.
# Any of the common ones will do; the Song face the labels name is the one
# recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, fonts-wqy-zenhei | fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-arphic-uming")

include(CPack)
