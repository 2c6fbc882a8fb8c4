add_executable(bench_serveriai bench_serveriai.cpp)
target_link_libraries(bench_serveriai PRIVATE velmorant_windows velmorant_testserver benchmark::benchmark
    velmorant_options)
add_executable(bench_narsykle bench_narsykle.cpp)
target_link_libraries(bench_narsykle PRIVATE velmorant_query velmorant_testserver Qt6::Widgets benchmark::benchmark
    velmorant_options)
target_compile_definitions(bench_narsykle PRIVATE VELMORANT_TESTSERVER="$<TARGET_FILE:velmorant-testserver>")
add_dependencies(bench_narsykle velmorant-testserver)

# The windows found by their instance names, as the tests find them.
foreach(b bench_serveriai)
    target_include_directories(${b} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endforeach()
