# make install and make package: the program, its desktop entry and its icon,
# drawn from the same picture as the window icon.
include(GNUInstallDirs)

if(NOT NETCHECK_USER_DATA)
  # Installed beside other programs, a portable build would write its log and
  # script into the shared program folder.
  install(CODE "message(FATAL_ERROR \"Configure with -DNETCHECK_USER_DATA=ON to install (make install does).\")")
endif()
install(TARGETS netcheck RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/netcheck.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/src/app.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME netcheck.svg)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME netcheck)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "网络检测工具: checks a small office network by script, scans an IP range")
set(NETCHECK_PACKAGE_MAINTAINER "netcheck maintainers <root@localhost>" CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${NETCHECK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_STRIP_FILES ON)
# The Qt libraries come from dpkg-shlibdeps, and the history chart's library is named too (a
# build without shlibdeps still needs it); these are started or loaded by name at run time:
# the history's database driver, the speech plugin, service and voice, the Chinese font the
# report is printed in (its text copies back exactly), the desktop's opener for links and the
# PDF, and ping.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt5sql5-sqlite, libqwt-qt5-6, qtspeech5-speechd-plugin, speech-dispatcher, speech-dispatcher-espeak-ng, fonts-arphic-uming, xdg-utils, iputils-ping")
include(CPack)
