velmorant_fuzz(fuzz_cstrike SOURCES fuzz_cstrike.cpp LIBS velmorant_query
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/cstrike SECONDS 20)
