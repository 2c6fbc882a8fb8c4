# The history of the polled servers: the SQLite database, with a writer
# program that the test kills.
add_executable(tst_istorija_rasytojas tst_istorija_rasytojas.cpp)
target_link_libraries(tst_istorija_rasytojas PRIVATE velmorant_query velmorant_options)
velmorant_test(tst_istorija SOURCES tst_istorija.cpp LIBS velmorant_query)
add_dependencies(tst_istorija tst_istorija_rasytojas)
target_compile_definitions(tst_istorija PRIVATE VELMORANT_RASYTOJAS_EXE="$<TARGET_FILE:tst_istorija_rasytojas>")
