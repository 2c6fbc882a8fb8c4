add_executable(bench_serveriai bench_serveriai.cpp)
target_link_libraries(bench_serveriai PRIVATE velmorant_windows velmorant_testserver benchmark::benchmark
    velmorant_options)
