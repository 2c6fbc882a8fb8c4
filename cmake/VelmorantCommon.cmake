# One interface target that every project target links: language level, warnings,
# Qt hygiene and the optional sanitizer instrumentation.
add_library(velmorant_options INTERFACE)
target_compile_features(velmorant_options INTERFACE cxx_std_20)
target_compile_options(velmorant_options INTERFACE -Wall -Wextra)
target_compile_definitions(velmorant_options INTERFACE
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS
    QT_NO_CAST_FROM_ASCII
    QT_USE_QSTRINGBUILDER)

option(VELMORANT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELMORANT_SANITIZE)
    target_compile_options(velmorant_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(velmorant_options INTERFACE -fsanitize=address,undefined)
endif()
