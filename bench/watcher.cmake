add_executable(bench_stebetojas bench_stebetojas.cpp)
target_link_libraries(bench_stebetojas PRIVATE velmorant_windows velmorant_testserver benchmark::benchmark
    velmorant_options)
