# The Windows build's packages, made by CPack in build-win/ (tools/build-win.sh):
#
#   snowbelter-win64-VERSION.zip         a folder to unpack and play from:
#                                        the program, media\, README, licences
#   Snowbelter-VERSION-win64-setup.exe   a 64-bit NSIS installer into Program
#                                        Files with a Start-menu entry and an
#                                        uninstaller; /S installs and
#                                        uninstalls without asking
#
# Both carry the licences of the libraries linked into the program.
install(TARGETS snowbelter RUNTIME DESTINATION .)
install(FILES ${SNOWBELTER_WIN_MEDIA}/media/gfx.sbx ${SNOWBELTER_WIN_MEDIA}/media/sfx.sbx
        DESTINATION media)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/CHANGELOG.md
        DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/packaging/licenses/ DESTINATION licenses)

set(CPACK_GENERATOR ZIP NSIS64)
set(CPACK_PACKAGE_NAME Snowbelter)
set(CPACK_PACKAGE_VENDOR "The Snowbelter developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Christmas platform game: mend Santa's sleigh before midnight")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Snowbelter)
set(CPACK_PACKAGE_EXECUTABLES snowbelter Snowbelter)
# wine64, like 64-bit Windows without its 32-bit part, runs a 64-bit installer only.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME Snowbelter)
set(CPACK_NSIS_PACKAGE_NAME Snowbelter)
set(CPACK_NSIS_MUI_ICON ${CMAKE_BINARY_DIR}/windows/snowbelter.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_BINARY_DIR}/windows/snowbelter.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME snowbelter.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Each generator names its file its own way.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/WindowsPackageNames.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "
if(CPACK_GENERATOR STREQUAL \"ZIP\")
  set(CPACK_PACKAGE_FILE_NAME snowbelter-win64-${PROJECT_VERSION})
else()
  set(CPACK_PACKAGE_FILE_NAME Snowbelter-${PROJECT_VERSION}-win64-setup)
endif()
")
include(CPack)
