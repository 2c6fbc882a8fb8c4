# What `cmake --install` puts under the prefix: the executable, the shipped data
# (language files, map pictures, the default settings), the desktop entry and,
# from tools/IkonuEksportas, the icon in the hicolor theme. The server list that
# a run from the source folder writes into resursai/ is not shipped.
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
