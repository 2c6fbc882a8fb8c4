# The installed program: `cmake --install` of this build into a temporary prefix,
# the installed files and desktop entry, and the installed executable run from
# another folder against the local test game server. Its watcher binds UDP 27035.
if(TARGET velmorant-testserver)
    velmorant_test(tst_diegimas SOURCES tst_diegimas.cpp LIBS velmorant_support velmorant_pictures LOCK udp27035)
    target_compile_definitions(tst_diegimas PRIVATE
        VELMORANT_CMAKE="${CMAKE_COMMAND}"
        VELMORANT_BUILD_DIR="${CMAKE_BINARY_DIR}"
        VELMORANT_ID="${VELMORANT_ID}"
        VELMORANT_TESTSERVER_EXE="$<TARGET_FILE:velmorant-testserver>")
    add_dependencies(tst_diegimas velmorant_diegimui velmorant-testserver)
endif()
