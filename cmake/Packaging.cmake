# How Harmovia is installed and packaged: the files a desktop and a shell look for, and a
# Debian package of them made by CPack (scripts/package). app/CMakeLists.txt installs the
# two programs and the painted PNG icons under HARMOVIA_APP_ID.
include(GNUInstallDirs)

# The AppStream id: the desktop entry, the metainfo and the icons are named after it.
set(HARMOVIA_APP_ID org.harmovia.Harmovia)
set(HARMOVIA_PACKAGE_MAINTAINER
  "The Harmovia developers <maintainers@users.noreply.c-seed-c1bcb413.example>"
  CACHE STRING "The Maintainer field of the Debian package")

# Packages want 0755 folders whatever the umask of whoever builds them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(_packaging ${PROJECT_SOURCE_DIR}/packaging)

# Manual pages and the changelog are installed compressed, as Debian keeps them; -n leaves
# the name and time out, so the same text gives the same bytes.
set(_compressed)
foreach(source docs/harmovia.1 docs/harmovia-cli.1 packaging/changelog)
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
  install(FILES ${_packaging}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/harmovia)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME harmovia)
  set(CPACK_PACKAGE_VENDOR "The Harmovia developers")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
  set(CPACK_STRIP_FILES ON)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "music organiser that sorts your tunes by mood")
  set(CPACK_PACKAGE_DESCRIPTION
    "Harmovia keeps its own catalogue of up to 2000 of your MP3 and M4A files,
reads their tags, listens to ten seconds of each tune and sorts every tune
into one of nine moods, from Deep Relaxation to Maximum Wild. You browse by
mood, by mood within a genre, by likeness to a tune, by artist, album or
genre, by search or as the last added, play the list with each tune's
loudness levelled, and hand it to your music player as a playlist.

This package holds the desktop program, harmovia, and its headless
companion, harmovia-cli, for scripts and for adding music over SSH.")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HARMOVIA_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  include(CPack)
endif()

# The manual page and the completion against the program they describe.
add_subdirectory(${PROJECT_SOURCE_DIR}/tests/install ${PROJECT_BINARY_DIR}/tests/install)
