#!/bin/sh
# Builds the Debian package velmorant_<version>-1_<architecture>.deb from the
# sources: a Release build of the program in its own folder (build-deb/ unless
# another is given), installed under /usr by CPack's DEB generator, Depends
# found by dpkg-shlibdeps. Prints the package's path as its last line.
#   tools/deb.sh [build folder]
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh deb
build=${1:-build-deb}
# Compiled and linked as Debian builds its packages, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
# The tests, fuzz targets and benchmarks are not part of the package; the
# prefix is the package's.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DVELMORANT_TESTS=OFF -DVELMORANT_FUZZ=OFF -DVELMORANT_BENCH=OFF -DVELMORANT_SANITIZE=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build "$build" -j"$(nproc)" --target velmorant_diegimui
rm -f "$build"/velmorant_*.deb
(cd "$build" && cpack -G DEB)
ls "$build"/velmorant_*.deb
