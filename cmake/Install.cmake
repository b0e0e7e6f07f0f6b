# Installing the game, and packaging it as a .deb with CPack.
#
#   cmake --install build --prefix ~/.local
#
# puts the program in bin/ and its media in share/snowbelter/media/, where the
# program looks for them (../share/snowbelter from its own folder).  Debian
# keeps games apart: with -DSNOWBELTER_GAMES_LAYOUT=ON the program goes to
# games/ and the media to share/games/snowbelter/media/ instead.  The desktop
# entry, the AppStream metadata, the icons, the man page and the documents go
# where desktops, software centres, man and Debian look for them either way.
include(GNUInstallDirs)

option(SNOWBELTER_GAMES_LAYOUT
       "Install as Debian installs games: games/snowbelter and share/games/snowbelter" OFF)

if(SNOWBELTER_GAMES_LAYOUT)
  set(SNOWBELTER_PROGRAM_DIR games)
  set(SNOWBELTER_DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/games/snowbelter)
else()
  set(SNOWBELTER_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
  set(SNOWBELTER_DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/snowbelter)
endif()
# GNUInstallDirs names the documents' folder after the project, "Snowbelter";
# Debian names it after the package.  A folder given on the command line wins.
if("$CACHE{CMAKE_INSTALL_DOCDIR}" STREQUAL "")
  set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/snowbelter)
endif()

# The folders the install makes are rwxr-xr-x (not group-writable under a umask
# of 002): the game is run by users who do not own its files.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(SNOWBELTER_APP_ID org.snowbelter.Snowbelter)
set(SNOWBELTER_MEDIA ${CMAKE_BINARY_DIR}/media/gfx.sbx ${CMAKE_BINARY_DIR}/media/sfx.sbx)
# The icon theme the media build draws, as paths under icons/ of the build.
set(SNOWBELTER_ICONS)
foreach(size 16 32 48 64 128 256)
  list(APPEND SNOWBELTER_ICONS hicolor/${size}x${size}/apps/${SNOWBELTER_APP_ID}.png)
endforeach()

# The media and the icons are made by the build (the target "media"), which
# "cmake --install" does not run: say so plainly rather than install half a game.
install(CODE "
  foreach(made ${SNOWBELTER_MEDIA} ${SNOWBELTER_ICONS})
    get_filename_component(made \"\${made}\" ABSOLUTE BASE_DIR ${CMAKE_BINARY_DIR}/icons)
    if(NOT EXISTS \"\${made}\")
      message(FATAL_ERROR \"\${made} is missing: build first (cmake --build ${CMAKE_BINARY_DIR})\")
    endif()
  endforeach()")

install(TARGETS snowbelter RUNTIME DESTINATION ${SNOWBELTER_PROGRAM_DIR})
install(FILES ${SNOWBELTER_MEDIA}
        DESTINATION ${SNOWBELTER_DATA_DIR}/media
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/${SNOWBELTER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${SNOWBELTER_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
foreach(icon ${SNOWBELTER_ICONS})
  get_filename_component(folder ${icon} DIRECTORY)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/${folder})
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/snowbelter.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/CHANGELOG.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The folders above still take the umask, and sudo keeps a user's 077: open
# every folder on the way to an installed file for reading by all (never for
# writing), up to the prefix, or up to DESTDIR when staging.
install(CODE [[
  set(destdir "$ENV{DESTDIR}")
  set(stop "${CMAKE_INSTALL_PREFIX}")
  if(NOT destdir STREQUAL "")
    set(stop "")
  endif()
  string(REGEX REPLACE "/+$" "" stop "${stop}")
  set(folders "")
  foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
    get_filename_component(folder "${file}" DIRECTORY)
    string(REGEX REPLACE "/+$" "" folder "${folder}")
    string(FIND "${folder}/" "${stop}/" at)
    while(at EQUAL 0 AND NOT folder STREQUAL stop)
      list(APPEND folders "${destdir}${folder}")
      get_filename_component(folder "${folder}" DIRECTORY)
      string(REGEX REPLACE "/+$" "" folder "${folder}")
      string(FIND "${folder}/" "${stop}/" at)
    endwhile()
  endforeach()
  if(folders)
    list(REMOVE_DUPLICATES folders)
    execute_process(COMMAND chmod a+rx ${folders} COMMAND_ERROR_IS_FATAL ANY)
  endif()]])

# The .deb: cpack -G DEB in a build configured with SNOWBELTER_GAMES_LAYOUT=ON.
set(CPACK_PACKAGE_NAME snowbelter)
set(CPACK_PACKAGE_VENDOR "The Snowbelter developers")
set(CPACK_PACKAGE_CONTACT "The Snowbelter developers <developers@snowbelter.org>"
    CACHE STRING "The Maintainer line of the .deb")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Christmas platform game: mend Santa's sleigh before midnight")
# Debian shows the long description as written: lines under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Santa's sleigh has fallen apart on Christmas Eve, and it has to be mended\n"
  "before midnight. Snowbelter is a small single-player 2D platform game:\n"
  "walk, jump and climb ladders across Santa's two-screen workshop and carry\n"
  "the six loose sleigh parts back to the sleigh, one at a time, keeping away\n"
  "from the bouncing Christmas puddings and the marching toy soldiers.\n"
  "\n"
  "You have five lives and a clock of 300 seconds. Fit every part and four\n"
  "reindeer swoop in for a flight into the night.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian asks more of a package's documents than an install gives: the man
# page gzipped, a Debian change log as changelog.gz (for this release, dated
# as CHANGELOG.md dates it) and the licence as copyright. The staged .deb tree
# gets them just before it is packed.
set(CPACK_DEBIAN_DOCS_SCRIPT ${CMAKE_BINARY_DIR}/DebianDocs.cmake)
file(WRITE ${CPACK_DEBIAN_DOCS_SCRIPT} [=[
if(CPACK_GENERATOR STREQUAL "DEB")
  set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
  set(doc "${usr}/share/doc/snowbelter")
  set(version "${CPACK_PACKAGE_VERSION}")
  file(STRINGS "${doc}/CHANGELOG.md" released REGEX "^## \\[${version}\\] - [0-9-]+$")
  string(REGEX REPLACE ".* - " "" released "${released}")
  execute_process(COMMAND date -R -u -d "${released}" OUTPUT_VARIABLE when
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  file(WRITE "${doc}/changelog"
       "snowbelter (${version}) unstable; urgency=medium\n\n"
       "  * Release ${version}; CHANGELOG.md tells what changed.\n\n"
       " -- ${CPACK_PACKAGE_CONTACT}  ${when}\n")
  foreach(file "${usr}/share/man/man6/snowbelter.6" "${doc}/changelog")
    execute_process(COMMAND gzip -9nf "${file}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  execute_process(COMMAND chmod 0644 "${doc}/changelog.gz" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND install -m 0644 "${doc}/LICENSE" "${doc}/copyright"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
]=])
set(CPACK_PRE_BUILD_SCRIPTS ${CPACK_DEBIAN_DOCS_SCRIPT})

# A source tarball (make package_source) is the tree without builds or git.
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/\\\\.cache/")

include(CPack)
