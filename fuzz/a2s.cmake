# The query sources are compiled into the target itself, so that libFuzzer's
# coverage instrumentation reaches the code under test and not only this file.
set(a2s_query_dir ${CMAKE_SOURCE_DIR}/query)
velmorant_fuzz(fuzz_a2s
    SOURCES fuzz_a2s.cpp ${a2s_query_dir}/A2S.cpp ${a2s_query_dir}/Skaidymas.cpp ${a2s_query_dir}/Sesija.cpp
            ${a2s_query_dir}/Atmintis.cpp ${a2s_query_dir}/cstrike.cpp ${a2s_query_dir}/AtminiesSrautas.cpp
            ${CMAKE_SOURCE_DIR}/support/Laikas.cpp ${CMAKE_SOURCE_DIR}/support/PrivatusFailas.cpp
            ${CMAKE_SOURCE_DIR}/support/Zurnalas.cpp
    LIBS Qt6::Core Qt6::Network
    CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/a2s SECONDS 20)
target_include_directories(fuzz_a2s PRIVATE ${a2s_query_dir} ${CMAKE_SOURCE_DIR}/support)
