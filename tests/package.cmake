# The Debian package. First tools/deb.sh builds it from the sources in a folder
# of its own, wiped first (a Release build with the system compiler, no tests;
# a few minutes, and no UDP port, so it runs beside the other tests); then
# tst_paketas reads it back with dpkg-deb and appstreamcli and starts the
# packaged executable, whose watcher binds UDP 27035.
set(paketo_aplankas "${CMAKE_CURRENT_BINARY_DIR}/paketas")
add_test(NAME tst_paketo_kurimas COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/paketo_kurimas.sh" "${paketo_aplankas}")
set_tests_properties(tst_paketo_kurimas PROPERTIES
    FIXTURES_SETUP paketas TIMEOUT 1800 SKIP_REGULAR_EXPRESSION "Package test skipped: ")

velmorant_test(tst_paketas SOURCES tst_paketas.cpp Dieginiai.h LIBS velmorant_support LOCK udp27035)
target_compile_definitions(tst_paketas PRIVATE
    VELMORANT_ID="${VELMORANT_ID}"
    VELMORANT_PAKETO_APLANKAS="${paketo_aplankas}")
set_tests_properties(tst_paketas PROPERTIES FIXTURES_REQUIRED paketas)
