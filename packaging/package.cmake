# The Debian package (CPack: `cpack -G DEB` in the build folder, or the "package" target;
# scripts/package.sh builds and checks it) and what it installs besides the programs and their
# manual pages: the changelog, the copyright file and the software-centre entry.
# Included by the top CMakeLists.txt when this is the top-level project.

set(_platine_packaging_dir ${CMAKE_CURRENT_LIST_DIR})
set(_platine_packaging_out ${CMAKE_BINARY_DIR}/packaging)
find_program(PLATINE_GZIP gzip REQUIRED)

# --- Maintainer -------------------------------------------------------------------------------
# The package is built from this source by whoever packages it, so the Maintainer field names
# that person, found as Debian's own tools find it:
#   1. -DPLATINE_PACKAGE_CONTACT="Name <e-mail>", when given;
#   2. the environment variables DEBFULLNAME and DEBEMAIL (or DEBEMAIL="Name <e-mail>");
#   3. git's user.name and user.email;
#   4. the author of the commit being built.
# With none of them, `cpack` stops and asks for a maintainer: no made-up address is ever used.
set(PLATINE_PACKAGE_CONTACT "" CACHE STRING
    "Maintainer of the Debian package (Name <e-mail>); empty: DEBFULLNAME/DEBEMAIL, then git")

function(_platine_git_output out)
  set(${out} "" PARENT_SCOPE)
  find_package(Git QUIET)
  if(NOT GIT_EXECUTABLE)
    return()
  endif()
  execute_process(COMMAND ${GIT_EXECUTABLE} ${ARGN}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE result ERROR_QUIET)
  if(result EQUAL 0)
    set(${out} "${text}" PARENT_SCOPE)
  endif()
endfunction()

set(PLATINE_PACKAGE_MAINTAINER "${PLATINE_PACKAGE_CONTACT}")
set(_platine_maintainer_origin "PLATINE_PACKAGE_CONTACT")
if(PLATINE_PACKAGE_MAINTAINER STREQUAL "" AND "$ENV{DEBEMAIL}" MATCHES "^[^<]+ <[^>]+>$")
  set(PLATINE_PACKAGE_MAINTAINER "$ENV{DEBEMAIL}")
  set(_platine_maintainer_origin "DEBEMAIL")
endif()
if(PLATINE_PACKAGE_MAINTAINER STREQUAL "" AND NOT "$ENV{DEBFULLNAME}" STREQUAL ""
   AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
  set(PLATINE_PACKAGE_MAINTAINER "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  set(_platine_maintainer_origin "DEBFULLNAME and DEBEMAIL")
endif()
if(PLATINE_PACKAGE_MAINTAINER STREQUAL "")
  _platine_git_output(_name config user.name)
  _platine_git_output(_mail config user.email)
  if(NOT _name STREQUAL "" AND NOT _mail STREQUAL "")
    set(PLATINE_PACKAGE_MAINTAINER "${_name} <${_mail}>")
    set(_platine_maintainer_origin "git user.name and user.email")
  endif()
endif()
if(PLATINE_PACKAGE_MAINTAINER STREQUAL "")
  _platine_git_output(_author log -1 "--format=%an <%ae>")
  if(_author MATCHES "^[^<]+ <[^>]+>$")
    set(PLATINE_PACKAGE_MAINTAINER "${_author}")
    set(_platine_maintainer_origin "the author of the commit being built")
  endif()
endif()
if(PLATINE_PACKAGE_MAINTAINER STREQUAL "")
  message(STATUS "Debian package maintainer: unknown. Set DEBFULLNAME and DEBEMAIL, or "
                 "-DPLATINE_PACKAGE_CONTACT=\"Name <e-mail>\", before packaging.")
else()
  message(STATUS "Debian package maintainer: ${PLATINE_PACKAGE_MAINTAINER} "
                 "(from ${_platine_maintainer_origin})")
endif()

# --- Files in /usr/share/doc/platine ----------------------------------------------------------
# The changelog, signed by the package's maintainer, compressed by `gzip -9n`.
configure_file(${PLATINE_CHANGELOG_SOURCE} ${_platine_packaging_out}/changelog @ONLY)
add_custom_command(
  OUTPUT ${_platine_packaging_out}/changelog.gz
  COMMAND ${PLATINE_GZIP} -9nfk changelog
  DEPENDS ${_platine_packaging_out}/changelog
  WORKING_DIRECTORY ${_platine_packaging_out}
  VERBATIM)

# The copyright file, in Debian's machine-readable format, with the licence text of LICENSE.
set(_platine_license ${PROJECT_SOURCE_DIR}/LICENSE)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${_platine_license})
file(READ ${_platine_license} _text)
if(NOT _text MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
  message(FATAL_ERROR "${_platine_license}: no \"Copyright (c) ...\" line before the licence")
endif()
set(PLATINE_LICENSE_COPYRIGHT "${CMAKE_MATCH_1}")
# A paragraph of the copyright file: every line indented by one space, blank lines as " .".
string(REPLACE "\n\n" "\n.\n" _text "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " PLATINE_LICENSE_TEXT " ${_text}")
configure_file(${_platine_packaging_dir}/copyright.in ${_platine_packaging_out}/copyright @ONLY)

add_custom_target(platine_package_docs ALL DEPENDS ${_platine_packaging_out}/changelog.gz)
install(FILES ${_platine_packaging_out}/changelog.gz ${_platine_packaging_out}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- Software-centre entry (AppStream) --------------------------------------------------------
# The screenshots are those of docs/screenshots/. AppStream wants them as web addresses: give
# the address where that folder is published. Until the project has one, the default is under
# the reserved name "invalid", which never resolves, rather than a site nobody here controls.
set(PLATINE_APPSTREAM_ID org.platine_relais.platine)
set(PLATINE_SCREENSHOTS_URL "https://platine.invalid/docs/screenshots" CACHE STRING
    "Web address where docs/screenshots/ is published (for the software-centre entry)")
configure_file(${_platine_packaging_dir}/platine.metainfo.xml.in
               ${_platine_packaging_out}/${PLATINE_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${_platine_packaging_out}/${PLATINE_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# --- The package --------------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME platine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The platine team")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the programmable six-relay board")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(NOT PLATINE_PACKAGE_MAINTAINER STREQUAL "")
  set(CPACK_PACKAGE_CONTACT "${PLATINE_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PLATINE_PACKAGE_MAINTAINER}")
endif()
# The Qt libraries come from dpkg-shlibdeps. Named here, what nothing links:
#  - qt6-qpa-plugins: the platform plugins (xcb, wayland), loaded at run time;
#  - qt6-translations-l10n: Qt's own French texts (standard dialogs and buttons), data files
#    loaded at start-up.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
# Below the summary line, at most 80 columns a line: one paragraph in English, one in French.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Sets the clock of the autonomous programmable six-relay board (the platine),
shows the text it sends, writes the six relays' switching timetable and uploads
it over a serial port at 9600 baud, and saves timetables as INI files. The
interface is in French. Includes platine-cli, which does the same from the
command line on a computer without a screen, and platine-sim, a board
simulator on a pseudo-terminal for trying the tool without a board.
.
Logiciel de paramétrage de la platine programmable autonome à six relais :
mise à l'heure de la platine, affichage de l'heure qu'elle envoie,
programmation des horaires des six relais par le port série (9600 bauds) et
enregistrement des programmes. platine-cli fait de même en ligne de commande,
sans écran ; le simulateur platine-sim remplace la platine pour essayer le
logiciel.")
# Stripped programs, and without the .comment and .note sections (as Debian's dh_strip does).
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${_platine_packaging_dir}/strip_sections.cmake)
include(CPack)
