# The Debian package "velmorant": CPack's DEB generator over the install rules
# of cmake/VelmorantInstall.cmake. tools/deb.sh configures a build folder for
# it (Release, prefix /usr) and runs `cpack -G DEB` there. Name, version and
# description come from cmake/VelmorantVersion.cmake; Depends is what
# dpkg-shlibdeps finds the executable linked with, and what it loads at run time.

# Debian's extended description: lines of at most 79 columns, paragraphs apart.
function(velmorant_debian_aprasymas isvestis)
    set(tekstas "")
    foreach(pastraipa IN LISTS ARGN)
        if(NOT tekstas STREQUAL "")
            string(APPEND tekstas "\n\n")
        endif()
        string(REPLACE " " ";" zodziai "${pastraipa}")
        set(eilute "")
        foreach(zodis IN LISTS zodziai)
            string(LENGTH "${eilute} ${zodis}" ilgis)
            if(eilute STREQUAL "")
                set(eilute "${zodis}")
            elseif(ilgis GREATER 78)
                string(APPEND tekstas "${eilute}\n")
                set(eilute "${zodis}")
            else()
                string(APPEND eilute " ${zodis}")
            endif()
        endforeach()
        string(APPEND tekstas "${eilute}")
    endforeach()
    set(${isvestis} "${tekstas}" PARENT_SCOPE)
endfunction()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmorant)
set(CPACK_PACKAGE_VERSION "${VELMORANT_FAILO_VERSIJA}")
set(CPACK_PACKAGE_VENDOR "${VELMORANT_IMONE}")
set(CPACK_PACKAGE_CONTACT "${VELMORANT_IMONE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${VELMORANT_KOMENTARAI}")
velmorant_debian_aprasymas(CPACK_PACKAGE_DESCRIPTION ${VELMORANT_APRASYMO_PASTRAIPOS})

# The prefix the build was configured with is the package's (tools/deb.sh: /usr),
# so the paths compiled in and written into the manual page hold for it. Through
# DESTDIR, so that the desktop entry's Exec names the installed executable and
# not CPack's staging folder.
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program loads only when it runs, which dpkg-shlibdeps cannot see:
# Qt's SQLite driver (the history) and libsecret (QtKeychain's Secret Service).
set(VELMORANT_IKELIAMI_VYKDANT libqt6sql6-sqlite libsecret-1-0)
list(JOIN VELMORANT_IKELIAMI_VYKDANT ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
