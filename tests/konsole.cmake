# The remote console: the test server's side of it (challenge, output over many
# datagrams, the engine's counting and ban).
if(TARGET velmorant_testserver)
    velmorant_test(tst_testinis_serveris_konsole SOURCES tst_testinis_serveris_konsole.cpp Procesas.h
        LIBS velmorant_testserver)
    target_compile_definitions(tst_testinis_serveris_konsole PRIVATE
        VELMORANT_TESTSERVER_EXE="$<TARGET_FILE:velmorant-testserver>")
    add_dependencies(tst_testinis_serveris_konsole velmorant-testserver)
endif()
# The console's protocol against the test server on loopback, on a clock of the test's.
if(TARGET velmorant_testserver)
    velmorant_test(tst_konsole SOURCES tst_konsole.cpp RankinisServeris.h LIBS velmorant_query velmorant_testserver)
endif()
# The secret store against a real Secret Service started by the test.
find_package(Qt6 COMPONENTS DBus QUIET)
if(TARGET Qt6::DBus)
    velmorant_test(tst_saugykla SOURCES tst_saugykla.cpp SlaptuTarnyba.h LIBS velmorant_saugykla Qt6::DBus)
endif()
# The console window beside the watcher (which holds UDP 27035), on a bus with no secret store.
if(TARGET velmorant_testserver AND TARGET Qt6::DBus)
    velmorant_test(tst_konsole_langas SOURCES tst_konsole_langas.cpp StebetojoAplinka.h SlaptuTarnyba.h
        LIBS velmorant_windows velmorant_testserver Qt6::DBus LOCK udp27035)
endif()
# The console window remembering passwords through a real Secret Service started by the test.
if(TARGET velmorant_testserver AND TARGET Qt6::DBus)
    velmorant_test(tst_konsole_saugykla SOURCES tst_konsole_saugykla.cpp StebetojoAplinka.h SlaptuTarnyba.h
        LIBS velmorant_windows velmorant_testserver Qt6::DBus LOCK udp27035)
endif()
# The server browser beside the watcher, the Web API of the test server over HTTP.
if(TARGET velmorant_testserver AND TARGET Qt6::DBus)
    velmorant_test(tst_narsykle_langas SOURCES tst_narsykle_langas.cpp StebetojoAplinka.h SlaptuTarnyba.h
        LIBS velmorant_windows velmorant_testserver Qt6::DBus LOCK udp27035)
endif()
