#!/bin/sh
# The package test's first step (CTest fixture "paketas"): wipes the folder and
# builds the Debian package there from the sources with tools/deb.sh, the
# README's command. Without Debian's packaging tools it reports the test
# skipped and builds nothing.
#   tests/paketo_kurimas.sh <build folder>
set -eu
for tool in dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "Package test skipped: $tool is not installed (tools/deps.sh test installs dpkg-dev)"
        exit 0
    fi
done
rm -rf "$1"
exec "$(dirname "$0")/../tools/deb.sh" "$1"
