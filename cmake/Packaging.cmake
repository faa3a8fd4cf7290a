# How Harmovia is installed: the files a desktop and a shell look for. app/CMakeLists.txt
# installs the two programs and the painted PNG icons under HARMOVIA_APP_ID.
include(GNUInstallDirs)

# The AppStream id: the desktop entry, the metainfo and the icons are named after it.
set(HARMOVIA_APP_ID org.harmovia.Harmovia)
set(_packaging ${PROJECT_SOURCE_DIR}/packaging)

if(NOT HARMOVIA_CORE_ONLY)
  install(FILES ${_packaging}/${HARMOVIA_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_packaging}/${HARMOVIA_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${_packaging}/icons/${HARMOVIA_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

add_subdirectory(${PROJECT_SOURCE_DIR}/tests/install ${PROJECT_BINARY_DIR}/tests/install)
