#!/bin/sh
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# with the libFuzzer targets, and runs every test (the fuzz targets briefly).
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh test
CC=clang CXX=clang++ cmake -S . -B build-test -DVELMORANT_SANITIZE=ON -DVELMORANT_FUZZ=ON
cmake --build build-test -j"$(nproc)"
cd build-test
ctest --output-on-failure -j"$(nproc)"
