#!/bin/sh
# Builds the 32-bit Windows tree and runs its tests under Wine: installs the packages it
# needs (only those missing), builds the target's libraries from Debian's sources
# unless build-windows-deps/ already holds them, configures build-windows/ with the
# cross toolchain, builds, and runs CTest with a fresh Wine prefix under a virtual X
# server (tools/wine-run.sh). The tests that compare tarne.exe with the Linux tarne
# need the Linux build in build/ (tools/test.sh --windows makes it first) and are
# skipped without it.
# Usage: tools/test-windows.sh (or tools/test.sh --windows)
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh --windows
sh tools/windows-deps.sh
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/windows-i686.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Two jobs at most: the machine's two cores are shared.
cmake --build build-windows -j 2
sh tools/wine-run.sh ctest --test-dir build-windows --output-on-failure -j 2
