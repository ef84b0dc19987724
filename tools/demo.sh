#!/bin/sh
# Builds Tarne and renders the bundled demo world to demo.png.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tarne nptarne
./build/bin/tarne --version
./build/bin/tarne render examples/demo/demo.wrl -o demo.png --verbose
