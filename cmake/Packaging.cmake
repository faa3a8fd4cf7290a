# How Harmovia is installed: the files a desktop and a shell look for. app/CMakeLists.txt
# installs the two programs and the painted PNG icons under HARMOVIA_APP_ID.
include(GNUInstallDirs)

# The AppStream id: the desktop entry, the metainfo and the icons are named after it.
set(HARMOVIA_APP_ID org.harmovia.Harmovia)
set(_packaging ${PROJECT_SOURCE_DIR}/packaging)

# Manual pages are installed compressed, as Debian keeps them; -n leaves the name and time
# out, so the same text gives the same bytes.
set(_compressed)
foreach(source docs/harmovia.1 docs/harmovia-cli.1)
  get_filename_component(name ${source} NAME)
  set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" gzip ${PROJECT_SOURCE_DIR}/${source} ${output}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND _compressed ${output})
endforeach()
add_custom_target(harmovia_compressed_docs ALL DEPENDS ${_compressed})

if(NOT HARMOVIA_CORE_ONLY)
  install(FILES ${_packaging}/${HARMOVIA_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_packaging}/${HARMOVIA_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${_packaging}/icons/${HARMOVIA_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/harmovia.1.gz
    ${PROJECT_BINARY_DIR}/packaging/harmovia-cli.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # bash-completion loads completions/NAME the first time NAME's arguments are completed.
  install(FILES ${_packaging}/harmovia-cli.bash
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME harmovia-cli)
endif()

# The manual page and the completion against the program they describe.

add_subdirectory(${PROJECT_SOURCE_DIR}/tests/install ${PROJECT_BINARY_DIR}/tests/install)
