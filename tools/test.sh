#!/bin/sh
# Builds Tarne and runs every test. With --sanitize: the address and undefined-
# behaviour sanitizer build, in its own build folder.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
build=build
flags="-DCMAKE_BUILD_TYPE=RelWithDebInfo"
if [ "${1:-}" = "--sanitize" ]; then
    build=build-asan
    flags="-DCMAKE_BUILD_TYPE=Debug -DTARNE_SANITIZE=ON -DTARNE_BENCH=OFF"
fi
cmake -S . -B "$build" $flags
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
