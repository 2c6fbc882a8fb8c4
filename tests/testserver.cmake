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
