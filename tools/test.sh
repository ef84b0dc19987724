#!/bin/sh
# Builds Tarne and runs every test. With --sanitize: the address and undefined-
# behaviour sanitizer build, in its own build folder. With --release: the packager's
# build (Release, -O3, warnings as errors), built but not run again. With --windows:
# the Linux build (not run: its programs are what the Windows ones are compared with),
# then the 32-bit Windows build and its tests under Wine (tools/test-windows.sh).
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
build=build
flags="-DCMAKE_BUILD_TYPE=RelWithDebInfo"
case "${1:-}" in
--sanitize)
    build=build-asan
    flags="-DCMAKE_BUILD_TYPE=Debug -DTARNE_SANITIZE=ON -DTARNE_BENCH=OFF"
    ;;
--release)
    build=build-release
    flags="-DCMAKE_BUILD_TYPE=Release"
    ;;
esac
cmake -S . -B "$build" $flags
cmake --build "$build" -j "$(nproc)"
[ "${1:-}" = "--release" ] && exit 0
[ "${1:-}" = "--windows" ] && exec sh tools/test-windows.sh
cd "$build"
ctest --output-on-failure -j "$(nproc)"
