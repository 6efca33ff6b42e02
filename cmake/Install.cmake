# Install layout, the Debian package and the Windows zip.
#
# The programs are QPEEK_PROGRAMS (CMakeLists.txt), each with its manual page docs/NAME.1.
# qpeek looks for its parser definitions relative to the real path of its executable
# (bin/qpeek.parser, bin/NAME.parser, then bin/../Resources/NAME.parser), so everything
# is installed under one prefix directory, by default /opt/qpeek:
#
#   <prefix>/bin/qpeek                     the program
#   <prefix>/bin/qpeek-import              turns unload and save files into message files
#   <prefix>/bin/qpeek.parser              the default definition file
#   <prefix>/Resources/*.parser            the shipped definitions
#   <prefix>/share/qpeek/samples/*.qpk     sample messages
#   <prefix>/share/man/man1/qpeek.1.gz     the manual page (and qpeek-import.1.gz)
#   <prefix>/share/doc/qpeek/              README.md and copyright
#
# The "system" component adds the files outside the prefix. It belongs to the package and
# is left out of a plain `cmake --install`; `cmake --install BUILD --component system`
# installs it on its own:
#
#   /usr/bin/qpeek                 -> <prefix>/bin/qpeek
#   /usr/share/man/man1/qpeek.1.gz -> <prefix>/share/man/man1/qpeek.1.gz
#   (the same two links for qpeek-import)
#   /usr/share/doc/qpeek/copyright
#
# Because the program directory is taken from the real path, /usr/bin/qpeek still finds
# <prefix>/bin/qpeek.parser and <prefix>/Resources.
#
# The Windows build installs into one folder qpeek-VERSION (by default in the build
# directory), which `cpack -G ZIP` packs into qpeek-VERSION-win64.zip:
#
#   qpeek-VERSION\README.txt              this README, CR LF line ends
#   qpeek-VERSION\bin\qpeek.exe           the program (Release, stripped in the zip)
#   qpeek-VERSION\bin\qpeek.parser        the default definition file
#   qpeek-VERSION\Resources\*.parser      the shipped definitions
#   qpeek-VERSION\samples\*.qpk           sample messages
#   qpeek-VERSION\doc\qpeek.txt           the manual page as plain text
#   qpeek-VERSION\doc\copyright.txt       the copyright file

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND WIN32)
    set(CMAKE_INSTALL_PREFIX ${CMAKE_BINARY_DIR}/qpeek-${PROJECT_VERSION}
        CACHE PATH "Install prefix" FORCE)
elseif(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND UNIX)
    set(CMAKE_INSTALL_PREFIX /opt/qpeek CACHE PATH "Install prefix" FORCE)
endif()
set(QPEEK_SYSTEM_BINDIR /usr/bin CACHE PATH "Directory of the qpeek link on the PATH")
set(QPEEK_SYSTEM_MANDIR /usr/share/man/man1 CACHE PATH "Directory of the manual page link")
set(QPEEK_SYSTEM_DOCDIR /usr/share/doc/qpeek CACHE PATH "Directory of the package's copyright file")
set(QPEEK_PACKAGE_MAINTAINER "qpeek maintainers <qpeek@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# Everything under the prefix.
install(TARGETS ${QPEEK_PROGRAMS} RUNTIME DESTINATION bin COMPONENT qpeek)
install(FILES Resources/qpeek.parser DESTINATION bin COMPONENT qpeek OPTIONAL)
# Globbed with CONFIGURE_DEPENDS, so definitions and samples added later are picked up by
# the next build.
file(GLOB QPEEK_DEFINITION_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/Resources/*.parser)
file(GLOB QPEEK_SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/samples/*.qpk)
install(FILES ${QPEEK_DEFINITION_FILES} DESTINATION Resources COMPONENT qpeek)
if(WIN32)
    include(cmake/windows/Package.cmake)
    return()
endif()
install(FILES ${QPEEK_SAMPLE_FILES} DESTINATION share/qpeek/samples COMPONENT qpeek)
install(FILES README.md docs/copyright DESTINATION share/doc/qpeek COMPONENT qpeek)

# The manual pages, the links and the package are for Unix-like systems.
if(NOT UNIX)
    return()
endif()

# The manual pages, compressed at build time (-n: no name or time stamp inside, so the
# package content does not change from one build to the next).
set(QPEEK_MANPAGES_GZ)
set(QPEEK_SYSTEM_LINKS)
foreach(program ${QPEEK_PROGRAMS})
    set(manpage ${CMAKE_CURRENT_SOURCE_DIR}/docs/${program}.1)
    set(manpage_gz ${CMAKE_CURRENT_BINARY_DIR}/${program}.1.gz)
    add_custom_command(OUTPUT ${manpage_gz}
                       COMMAND gzip -9 -n -c ${manpage} > ${manpage_gz}
                       DEPENDS ${manpage}
                       COMMENT "Compressing the manual page ${program}.1")
    list(APPEND QPEEK_MANPAGES_GZ ${manpage_gz})
    list(APPEND QPEEK_SYSTEM_LINKS
         "\"${QPEEK_SYSTEM_BINDIR}/${program}|bin/${program}\""
         "\"${QPEEK_SYSTEM_MANDIR}/${program}.1.gz|share/man/man1/${program}.1.gz\"")
endforeach()
add_custom_target(qpeek_manpage ALL DEPENDS ${QPEEK_MANPAGES_GZ})
install(FILES ${QPEEK_MANPAGES_GZ} DESTINATION share/man/man1 COMPONENT qpeek)
string(JOIN "\n            " QPEEK_SYSTEM_LINKS ${QPEEK_SYSTEM_LINKS})

# The files outside the prefix. The links point at the prefix chosen at install time.
install(FILES docs/copyright DESTINATION ${QPEEK_SYSTEM_DOCDIR} COMPONENT system EXCLUDE_FROM_ALL)
install(CODE "
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX NORMALIZE OUTPUT_VARIABLE _qpeek_prefix)
    foreach(_qpeek_link
            ${QPEEK_SYSTEM_LINKS})
        string(REPLACE \"|\" \";\" _qpeek_link \"\${_qpeek_link}\")
        list(GET _qpeek_link 0 _qpeek_name)
        list(GET _qpeek_link 1 _qpeek_target)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_qpeek_name}\")
        set(_qpeek_name \"\$ENV{DESTDIR}\${_qpeek_name}\")
        get_filename_component(_qpeek_dir \"\${_qpeek_name}\" DIRECTORY)
        file(MAKE_DIRECTORY \"\${_qpeek_dir}\")
        message(STATUS \"Installing: \${_qpeek_name} -> \${_qpeek_prefix}/\${_qpeek_target}\")
        file(CREATE_LINK \"\${_qpeek_prefix}/\${_qpeek_target}\" \"\${_qpeek_name}\" SYMBOLIC)
    endforeach()
" COMPONENT system EXCLUDE_FROM_ALL)

# The Debian package: the prefix tree and the system files in one qpeek_VERSION-1_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qpeek)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "qpeek developers")
set(CPACK_PACKAGE_CONTACT "${QPEEK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "readable reports of messages captured from MQ queues")
set(CPACK_PACKAGE_DESCRIPTION
    "qpeek prints a summary or a detailed field-by-field report of message files captured
from MQ message queues: the message descriptor and MQ bridge headers, SAP IDocs checked
against parser-definition files, ECEDOC commerce documents, XML, point-of-sale logs,
IMS delivery records and CICS bridge areas.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY qpeek)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};qpeek;qpeek;/"
    "${CMAKE_BINARY_DIR};qpeek;system;/")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QPEEK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
