# The sectioned key/value file: reads and writes over arbitrary file content.
velmorant_fuzz(fuzz_tybini
    SOURCES fuzz_tybini.cpp
    LIBS velmorant_support
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/tybini)
