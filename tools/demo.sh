#!/bin/sh
# Builds Tarne and shows the bundled demo world: in a window where a display exists
# (close it, or press Escape or q, to end), otherwise rendered to demo.png.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tarne nptarne
./build/bin/tarne --version
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && ./build/bin/tarne view examples/demo/demo.wrl; then
    exit 0
fi
./build/bin/tarne render examples/demo/demo.wrl -o demo.png --verbose
