# Run by cpack, before the package is made (CPACK_PRE_BUILD_SCRIPTS) and
# after (CPACK_POST_BUILD_SCRIPTS), to make it as Debian's own tools would.

if(NOT CPACK_PACKAGE_FILES)
    # Before: strip the programs as dh_strip does, which also drops the
    # compilers' notes (.comment) that CPack's own stripping leaves.
    find_program(PLOVISTA_STRIP strip REQUIRED)
    file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
    foreach(file IN LISTS files)
        if(IS_SYMLINK "${file}")
            continue()
        endif()
        file(READ "${file}" magic LIMIT 4 HEX)
        if(NOT magic STREQUAL "7f454c46")
            continue()
        endif()
        set(options --remove-section=.comment --remove-section=.note)
        if(file MATCHES "\\.so$")
            list(APPEND options --strip-unneeded)
        endif()
        execute_process(COMMAND ${PLOVISTA_STRIP} ${options} "${file}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    return()
endif()

# After: CPack gives a package with any shared object under usr/lib the
# maintainer scripts that run ldconfig. The media module is private
# (usr/lib/plovista), ldconfig never looks there, and a package with a postrm
# stays known to dpkg after its removal. The package is made again without
# them, and compressed then (CPack leaves it uncompressed); any other
# maintainer script stops the build rather than go unseen.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    set(tree "${deb}.tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    foreach(script postinst postrm)
        if(EXISTS "${tree}/DEBIAN/${script}")
            file(READ "${tree}/DEBIAN/${script}" text)
            string(REGEX REPLACE "[ \t\n]+" " " text "${text}")
            if(NOT text MATCHES "^#!/bin/sh set -e if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then ldconfig fi $")
                message(FATAL_ERROR "${deb}: its ${script} does more than run ldconfig: ${text}")
            endif()
            file(REMOVE "${tree}/DEBIAN/${script}")
        endif()
    endforeach()
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip --build "${tree}" "${deb}" OUTPUT_QUIET
                    COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${tree}")
endforeach()
