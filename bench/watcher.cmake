add_executable(bench_stebetojas bench_stebetojas.cpp)
target_link_libraries(bench_stebetojas PRIVATE velmorant_windows velmorant_testserver benchmark::benchmark
    velmorant_options)

add_executable(bench_kalba bench_kalba.cpp)
target_link_libraries(bench_kalba PRIVATE velmorant_windows benchmark::benchmark velmorant_options)
target_compile_definitions(bench_kalba PRIVATE VELMORANT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_executable(bench_tinklas bench_tinklas.cpp)
target_link_libraries(bench_tinklas PRIVATE velmorant_windows velmorant_testserver benchmark::benchmark
    velmorant_options)

# The windows found by their instance names, as the tests find them.
foreach(b bench_stebetojas bench_kalba bench_tinklas)
    target_include_directories(${b} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endforeach()
