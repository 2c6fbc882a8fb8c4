# Map pictures: the JPEG decoder, the shipped pictures and the generator that
# draws them (velmorant-mappainter, run by the test).
velmorant_test(tst_zemelapiai SOURCES tst_zemelapiai.cpp LIBS velmorant_pictures JPEG::JPEG)
target_compile_definitions(tst_zemelapiai PRIVATE VELMORANT_MAPPAINTER="$<TARGET_FILE:velmorant-mappainter>")
add_dependencies(tst_zemelapiai velmorant-mappainter)
