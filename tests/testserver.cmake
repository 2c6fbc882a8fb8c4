# The local test game server (tools/TestinisServeris): reply builders, content
# file, the server object seen from a UDP client, and the command line program
# checked by itself and against QStat.
if(TARGET velmorant_testserver)
    velmorant_test(tst_testinis_serveris_kurejas SOURCES tst_testinis_serveris_kurejas.cpp
        LIBS velmorant_testserver)
    velmorant_test(tst_testinis_serveris_turinys SOURCES tst_testinis_serveris_turinys.cpp
        LIBS velmorant_testserver)
    velmorant_test(tst_testinis_serveris SOURCES tst_testinis_serveris.cpp
        LIBS velmorant_testserver)
    velmorant_test(tst_testinis_serveris_a2s SOURCES tst_testinis_serveris_a2s.cpp SesijosVairuotojas.h
        LIBS velmorant_testserver)
    velmorant_test(tst_testinis_serveris_programa SOURCES tst_testinis_serveris_programa.cpp
        LIBS velmorant_testserver)
    target_compile_definitions(tst_testinis_serveris_programa PRIVATE
        VELMORANT_TESTSERVER_EXE="$<TARGET_FILE:velmorant-testserver>")
    add_dependencies(tst_testinis_serveris_programa velmorant-testserver)
endif()

# Two independent clients query the test server as a server of today: QStat
# (Debian package qstat) and gamedig, installed here with npm from the pinned
# lock file into the build folder. Without npm, or when the install fails, the
# gamedig half of the check is skipped.
if(TARGET velmorant_testserver)
    find_program(VELMORANT_NODE node)
    find_program(VELMORANT_NPM npm)
    set(gamedig_dir "${CMAKE_BINARY_DIR}/gamedig")
    set(gamedig_stamp "${gamedig_dir}/installed.stamp")
    if(VELMORANT_NPM AND VELMORANT_NODE)
        add_custom_command(OUTPUT "${gamedig_stamp}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${gamedig_dir}"
            COMMAND ${CMAKE_COMMAND} -E copy_if_different
                    "${CMAKE_CURRENT_SOURCE_DIR}/gamedig/package.json"
                    "${CMAKE_CURRENT_SOURCE_DIR}/gamedig/package-lock.json" "${gamedig_dir}"
            COMMAND sh -c "cd '${gamedig_dir}' && '${VELMORANT_NPM}' ci --no-audit --no-fund --loglevel=error || echo 'gamedig was not installed: its check will be skipped'"
            COMMAND ${CMAKE_COMMAND} -E touch "${gamedig_stamp}"
            DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/gamedig/package.json"
                    "${CMAKE_CURRENT_SOURCE_DIR}/gamedig/package-lock.json"
            COMMENT "Installing gamedig for the peer check"
            VERBATIM)
        add_custom_target(velmorant_gamedig ALL DEPENDS "${gamedig_stamp}")
    endif()
    velmorant_test(tst_testinis_serveris_partneriai SOURCES tst_testinis_serveris_partneriai.cpp
        LIBS velmorant_testserver)
    target_compile_definitions(tst_testinis_serveris_partneriai PRIVATE
        VELMORANT_TESTSERVER_EXE="$<TARGET_FILE:velmorant-testserver>"
        VELMORANT_GAMEDIG="${gamedig_dir}/node_modules/gamedig/bin/gamedig.js"
        VELMORANT_NODE="${VELMORANT_NODE}")
    add_dependencies(tst_testinis_serveris_partneriai velmorant-testserver)
    if(TARGET velmorant_gamedig)
        add_dependencies(tst_testinis_serveris_partneriai velmorant_gamedig)
    endif()
endif()
