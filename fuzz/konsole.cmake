# The console's datagrams, output joining and guard file: their source is
# compiled into the target, so that the coverage instrumentation reaches it.
set(konsole_query_dir ${CMAKE_SOURCE_DIR}/query)
velmorant_fuzz(fuzz_konsole
    SOURCES fuzz_konsole.cpp ${konsole_query_dir}/KonsolesProtokolas.cpp ${konsole_query_dir}/Skaidymas.cpp
            ${CMAKE_SOURCE_DIR}/support/PrivatusFailas.cpp
    LIBS Qt6::Core Qt6::Network
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/konsole SECONDS 20)
target_include_directories(fuzz_konsole PRIVATE ${konsole_query_dir} ${CMAKE_SOURCE_DIR}/support)
