# The JPEG decoder of the map pictures, fed arbitrary bytes. The seed corpus
# holds three tiny pictures: colour baseline with restart markers, colour
# progressive and grey. The decoder's own source is compiled into the target,
# so that its error and size paths carry the coverage instrumentation; libjpeg
# is the system's and carries none.
velmorant_fuzz(fuzz_jpeg
    SOURCES fuzz_jpeg.cpp ${PROJECT_SOURCE_DIR}/support/JpegVaizdas.cpp
    LIBS Qt6::Gui JPEG::JPEG
    CORPUS "${CMAKE_CURRENT_SOURCE_DIR}/corpus/jpeg")
target_include_directories(fuzz_jpeg PRIVATE ${PROJECT_SOURCE_DIR}/support)
