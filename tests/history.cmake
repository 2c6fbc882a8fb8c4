# The history of the polled servers: the SQLite database (with a writer
# program that the test kills) and the plot of a server's day.
add_executable(tst_istorija_rasytojas tst_istorija_rasytojas.cpp)
target_link_libraries(tst_istorija_rasytojas PRIVATE velmorant_query velmorant_options)
velmorant_test(tst_istorija SOURCES tst_istorija.cpp LIBS velmorant_query)
add_dependencies(tst_istorija tst_istorija_rasytojas)
target_compile_definitions(tst_istorija PRIVATE VELMORANT_RASYTOJAS_EXE="$<TARGET_FILE:tst_istorija_rasytojas>")
velmorant_test(tst_istorijos_grafikas SOURCES tst_istorijos_grafikas.cpp LIBS velmorant_widgets)
