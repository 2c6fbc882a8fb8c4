# What `cmake --install` (and the Debian package, cmake/VelmorantPackage.cmake)
# puts under the prefix: the executable, the shipped data (language files, map
# pictures, the default settings), the desktop entry, the AppStream metadata,
# the manual page, the copyright note and, from tools/IkonuEksportas, the icon
# in the hicolor theme. The server list that a run from the source folder
# writes into resursai/ is not shipped, nor are the test game server and the
# other tools.
install(TARGETS velmorant RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

set(VELMORANT_DUOMENU_VIETA "${CMAKE_INSTALL_DATADIR}/velmorant/resursai")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/resursai/Kalbos" DESTINATION "${VELMORANT_DUOMENU_VIETA}"
        FILES_MATCHING PATTERN "*.lng")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/resursai/zemelapiai" DESTINATION "${VELMORANT_DUOMENU_VIETA}"
        FILES_MATCHING PATTERN "*.jpg")
install(FILES "${PROJECT_SOURCE_DIR}/resursai/Nustatymai.tyb" DESTINATION "${VELMORANT_DUOMENU_VIETA}")

# The desktop entry names the executable by its full path, which is known only
# at install time (`cmake --install --prefix` may choose another prefix).
install(CODE "
    set(VELMORANT_PROGRAMA \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/velmorant\")
    set(VELMORANT_SABLONAS \"${PROJECT_SOURCE_DIR}/cmake/velmorant.desktop.in\")
    set(VELMORANT_LAIKINAS \"${PROJECT_BINARY_DIR}/${VELMORANT_ID}.desktop\")
    set(VELMORANT_PASKIRTIS \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/VelmorantDesktop.cmake\")
")

# The AppStream metadata, under the id that names the desktop entry, so that
# software centres list the program. Its description is the package's.
set(VELMORANT_APRASYMAS_XML "")
foreach(pastraipa IN LISTS VELMORANT_APRASYMO_PASTRAIPOS)
    string(REPLACE "&" "&amp;" pastraipa "${pastraipa}")
    string(REPLACE "<" "&lt;" pastraipa "${pastraipa}")
    string(REPLACE ">" "&gt;" pastraipa "${pastraipa}")
    string(APPEND VELMORANT_APRASYMAS_XML "    <p>${pastraipa}</p>\n")
endforeach()
configure_file("${PROJECT_SOURCE_DIR}/cmake/velmorant.metainfo.xml.in"
               "${PROJECT_BINARY_DIR}/${VELMORANT_ID}.metainfo.xml" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/${VELMORANT_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The manual page, gzip-compressed as manual page readers expect; -n leaves the
# name and time out, so the same sources give the same file.
set(VELMORANT_DUOMENYS_VISAS "${CMAKE_INSTALL_FULL_DATADIR}/velmorant/resursai")
configure_file("${PROJECT_SOURCE_DIR}/cmake/velmorant.1.in" "${PROJECT_BINARY_DIR}/velmorant.1" @ONLY)
find_program(VELMORANT_GZIP gzip REQUIRED)
add_custom_command(OUTPUT "${PROJECT_BINARY_DIR}/velmorant.1.gz"
    COMMAND "${VELMORANT_GZIP}" -9 -n -k -f velmorant.1
    DEPENDS "${PROJECT_BINARY_DIR}/velmorant.1"
    WORKING_DIRECTORY "${PROJECT_BINARY_DIR}"
    COMMENT "Compressing the manual page")
add_custom_target(velmorant_manualas ALL DEPENDS "${PROJECT_BINARY_DIR}/velmorant.1.gz")
install(FILES "${PROJECT_BINARY_DIR}/velmorant.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# Who holds the rights, from the version record, where Debian looks for it.
configure_file("${PROJECT_SOURCE_DIR}/cmake/copyright.in" "${PROJECT_BINARY_DIR}/copyright" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/copyright" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/velmorant")

# Everything the rules above install, built: `cmake --build <dir> --target
# velmorant_diegimui` is enough before `cmake --install` or cpack.
add_custom_target(velmorant_diegimui)
add_dependencies(velmorant_diegimui velmorant velmorant_ikonos velmorant_manualas)
