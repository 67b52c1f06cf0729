# What `cmake --install` lays out, and so what the Debian package holds:
#   bin/zqwcce, bin/zqwcce-cli
#   lib/zqwcce/modules/zqwcce-output.so   printing, packages and e-mail,
#                      which the editor loads when first used
#                      (commands/outputmodule.h)
#   share/zqwcce/      the template, hints, help topics and card fonts
#   share/applications/zqwcce.desktop, share/mime/packages/zqwcce.xml,
#   share/icons/hicolor/<N>x<N>/apps/zqwcce.png
# The programs look for their data in ../share/zqwcce beside their own
# folder (findProgramDataDir), and the editor for its module in
# ../lib/zqwcce/modules, so bin, lib and share are fixed names here rather
# than the GNUInstallDirs choices a distribution might change. The module
# lies one folder deeper than lib/zqwcce because CPack's Debian generator
# adds ldconfig scripts for any shared object directly in a folder of
# /usr/lib; a private module needs none, and the scripts would keep the
# package from installing where no shell runs them (tools/check-deb.sh).
#
# Include this after the targets, ZQW_PROGRAM_DIR and cmake/CardFonts.cmake.

set(ZQW_INSTALL_BIN_DIR bin)
set(ZQW_INSTALL_DATA_DIR share/zqwcce)
set(ZQW_INSTALL_MODULE_DIR lib/zqwcce/modules)

install(TARGETS zqwcce-cli RUNTIME DESTINATION ${ZQW_INSTALL_BIN_DIR})
install(FILES
  ${ZQW_PROGRAM_DIR}/zqw.sel
  ${ZQW_PROGRAM_DIR}/ccehints.txt
  ${ZQW_CARD_FONT_FILES}
  ${ZQW_CARD_FONT_AUX_FILES}
  DESTINATION ${ZQW_INSTALL_DATA_DIR})
install(DIRECTORY ${ZQW_PROGRAM_DIR}/zqwcce.hlp DESTINATION ${ZQW_INSTALL_DATA_DIR})

if(ZQW_BUILD_GUI)
  install(TARGETS zqwcce RUNTIME DESTINATION ${ZQW_INSTALL_BIN_DIR})
  install(TARGETS zqwcce-output LIBRARY DESTINATION ${ZQW_INSTALL_MODULE_DIR})

  set(ZQW_ICON_SIZES 16 32 48 64 128 256)
  set(ZQW_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tools/makeicons ${CMAKE_BINARY_DIR}/tools/makeicons)
  foreach(size ${ZQW_ICON_SIZES})
    install(FILES ${ZQW_ICON_DIR}/${size}x${size}/apps/zqwcce.png
      DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()

  # The desktop's menu entry and the file types it opens. The databases
  # built from them (mimeinfo.cache, the MIME cache, the icon cache) are the
  # package manager's business: dpkg triggers rebuild them after install.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zqwcce.desktop DESTINATION share/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zqwcce-mime.xml
    DESTINATION share/mime/packages RENAME zqwcce.xml)
endif()
