# The reply readers. Their sources are compiled into the target itself rather
# than taken from velmorant_query, so that they carry the fuzzer's coverage
# instrumentation (the libraries are built without it, for the tests).
velmorant_fuzz(fuzz_cstrike
    SOURCES fuzz_cstrike.cpp
            ${PROJECT_SOURCE_DIR}/query/cstrike.cpp
            ${PROJECT_SOURCE_DIR}/query/AtminiesSrautas.cpp
    LIBS Qt6::Core
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/cstrike SECONDS 20)
target_include_directories(fuzz_cstrike PRIVATE ${PROJECT_SOURCE_DIR}/query)
