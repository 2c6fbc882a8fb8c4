# The JPEG decoder of the map pictures, fed arbitrary bytes. The seed corpus
# holds three tiny pictures: colour baseline with restart markers, colour
# progressive and grey.
velmorant_fuzz(fuzz_jpeg SOURCES fuzz_jpeg.cpp LIBS velmorant_pictures CORPUS "${CMAKE_CURRENT_SOURCE_DIR}/corpus/jpeg")
