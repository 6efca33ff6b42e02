# The Windows build: a version resource and an application manifest in every program, the
# documentation in a form a Windows user reads (CR LF line ends, the manual pages as plain
# text), and the zip (`cpack -G ZIP` in the build directory, or the target `package`).
# Included from cmake/Install.cmake; the layout is described there.

# Version resource and manifest, per program. The description is the one line of the
# NAME section of the program's manual page, the copyright the first Copyright line of
# docs/copyright.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/docs/copyright QPEEK_RC_COPYRIGHT
     REGEX "^Copyright: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright: *" "Copyright " QPEEK_RC_COPYRIGHT "${QPEEK_RC_COPYRIGHT}")
set(QPEEK_RC_COMPANY "qpeek developers")
foreach(program ${QPEEK_PROGRAMS})
    set(QPEEK_RC_PROGRAM ${program})
    # The page spells a hyphen of the name as roff's "\\-".
    string(REPLACE "-" "\\\\-" roff_name "${program}")
    file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/docs/${program}.1 name_line
         REGEX "^${roff_name} \\\\- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^${roff_name} \\\\- " "" QPEEK_RC_DESCRIPTION "${name_line}")
    string(REPLACE "\\-" "-" QPEEK_RC_DESCRIPTION "${QPEEK_RC_DESCRIPTION}")
    string(SUBSTRING "${QPEEK_RC_DESCRIPTION}" 0 1 first)
    string(SUBSTRING "${QPEEK_RC_DESCRIPTION}" 1 -1 rest)
    string(TOUPPER "${first}" first)
    set(QPEEK_RC_DESCRIPTION "${first}${rest}")
    set(QPEEK_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/windows/${program}.manifest)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cmake/windows/program.manifest.in
                   ${QPEEK_RC_MANIFEST} @ONLY)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cmake/windows/program.rc.in
                   ${CMAKE_CURRENT_BINARY_DIR}/windows/${program}.rc @ONLY)
    target_sources(${program} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/windows/${program}.rc)
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/windows/${program}.rc APPEND PROPERTY
                 OBJECT_DEPENDS ${QPEEK_RC_MANIFEST})
endforeach()

# Documentation: the README and the copyright file with CR LF line ends, every manual page
# rendered as plain text (groff, ASCII only: no overstriking, no escape sequences).
set(QPEEK_CRLF ${CMAKE_CURRENT_SOURCE_DIR}/cmake/windows/crlf.cmake)
set(QPEEK_WINDOWS_DOCS ${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt
                       ${CMAKE_CURRENT_BINARY_DIR}/windows/copyright.txt)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt
                   COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_CURRENT_SOURCE_DIR}/README.md
                           -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt -P ${QPEEK_CRLF}
                   DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/README.md ${QPEEK_CRLF})
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/windows/copyright.txt
                   COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_CURRENT_SOURCE_DIR}/docs/copyright
                           -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/windows/copyright.txt -P ${QPEEK_CRLF}
                   DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/copyright ${QPEEK_CRLF})
find_program(QPEEK_GROFF groff)
set(QPEEK_WINDOWS_MANPAGES)
foreach(program ${QPEEK_PROGRAMS})
    set(text ${CMAKE_CURRENT_BINARY_DIR}/windows/${program}.txt)
    if(QPEEK_GROFF)
        add_custom_command(OUTPUT ${text}
            COMMAND ${QPEEK_GROFF} -man -Tascii -P-cbou ${CMAKE_CURRENT_SOURCE_DIR}/docs/${program}.1
                    > ${text}.lf
            COMMAND ${CMAKE_COMMAND} -DINPUT=${text}.lf -DOUTPUT=${text} -P ${QPEEK_CRLF}
            DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/${program}.1 ${QPEEK_CRLF}
            COMMENT "Rendering the manual page ${program}.1 as text")
    else()
        message(WARNING "groff not found: the manual page ${program}.1 goes into the zip as it is")
        add_custom_command(OUTPUT ${text}
            COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_CURRENT_SOURCE_DIR}/docs/${program}.1
                    -DOUTPUT=${text} -P ${QPEEK_CRLF}
            DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/${program}.1 ${QPEEK_CRLF})
    endif()
    list(APPEND QPEEK_WINDOWS_MANPAGES ${text})
endforeach()
add_custom_target(qpeek_windows_docs ALL DEPENDS ${QPEEK_WINDOWS_DOCS} ${QPEEK_WINDOWS_MANPAGES})

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/windows/README.txt DESTINATION . COMPONENT qpeek)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/windows/copyright.txt ${QPEEK_WINDOWS_MANPAGES}
        DESTINATION doc COMPONENT qpeek)
install(FILES ${QPEEK_SAMPLE_FILES} DESTINATION samples COMPONENT qpeek)

# The zip: qpeek-VERSION-win64.zip holding the one folder qpeek-VERSION, executables
# stripped.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qpeek)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${QPEEK_RC_COMPANY}")
set(CPACK_PACKAGE_FILE_NAME qpeek-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};qpeek;qpeek;/qpeek-${PROJECT_VERSION}")
set(CPACK_STRIP_FILES ON)
include(CPack)
