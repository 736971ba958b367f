# The Debian package (`cpack -G DEB` in a build folder): the program folder
# under /usr/lib/ludra, the command /usr/bin/ludra, and the desktop entry,
# icon and MIME type where the desktop looks for them. Its install rules form
# the component "package", left out of a plain `cmake --install`, which lays
# out a program folder at the prefix instead.
set(LUDRA_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package)
add_executable(ludra_gen_desktop tools/GenDesktopFiles.cpp)
target_link_libraries(ludra_gen_desktop PRIVATE ludra_platform)
add_custom_command(
  OUTPUT ${LUDRA_PACKAGE_FILES}/ludra.desktop ${LUDRA_PACKAGE_FILES}/ludra-pawn.xml
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUDRA_PACKAGE_FILES}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:ludra_gen_desktop>
          /usr/bin/ludra ${LUDRA_PACKAGE_FILES}/ludra.desktop ${LUDRA_PACKAGE_FILES}/ludra-pawn.xml
  DEPENDS ludra_gen_desktop
  VERBATIM)
add_custom_target(ludra_desktop_files ALL
  DEPENDS ${LUDRA_PACKAGE_FILES}/ludra.desktop ${LUDRA_PACKAGE_FILES}/ludra-pawn.xml)
file(MAKE_DIRECTORY ${LUDRA_PACKAGE_FILES})
file(CREATE_LINK ../lib/ludra/ludra ${LUDRA_PACKAGE_FILES}/ludra SYMBOLIC)

install(TARGETS ludra RUNTIME DESTINATION lib/ludra COMPONENT package EXCLUDE_FROM_ALL)
install(FILES program/new.pwn DESTINATION lib/ludra COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${LUDRA_PACKAGE_FILES}/ludra DESTINATION bin COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${LUDRA_PACKAGE_FILES}/ludra.desktop DESTINATION share/applications
        COMPONENT package EXCLUDE_FROM_ALL)
install(FILES program/ludra.svg DESTINATION share/icons/hicolor/scalable/apps
        COMPONENT package EXCLUDE_FROM_ALL)
install(FILES ${LUDRA_PACKAGE_FILES}/ludra-pawn.xml DESTINATION share/mime/packages
        COMPONENT package EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Ludra;package;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_NAME ludra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Ludra developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Lightweight editor for PAWN scripts")
set(CPACK_PACKAGE_DESCRIPTION "Edits one PAWN script at a time with syntax colouring, \
completion of the natives the compiler's include files declare, find and replace with \
regular expressions, and one-key compiling with the compiler pawncc (not included).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
# The Qt libraries the program links are found by dpkg-shlibdeps; the X11
# platform plugin is loaded at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils, shared-mime-info")
include(CPack)
