# The sectioned key/value file: reads and writes over arbitrary file content. The
# component's sources are compiled into the target itself rather than taken from
# velmorant_support, so that they carry the fuzzer's coverage instrumentation.
velmorant_fuzz(fuzz_tybini
    SOURCES fuzz_tybini.cpp
            ${PROJECT_SOURCE_DIR}/support/TybINI.cpp
            ${PROJECT_SOURCE_DIR}/support/Keliai.cpp
            ${PROJECT_SOURCE_DIR}/support/PrivatusFailas.cpp
            ${PROJECT_SOURCE_DIR}/support/Tekstas.cpp
    LIBS Qt6::Core
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/tybini)
target_include_directories(fuzz_tybini PRIVATE ${PROJECT_SOURCE_DIR}/support)
