#!/bin/sh
# Builds the fuzz targets with clang's libFuzzer and runs one of them.
# Usage: tools/fuzz.sh TARGET [SECONDS]   e.g. tools/fuzz.sh reader_fuzz 600
# The corpus grows in fuzz-corpus/TARGET; crashes land in fuzz-corpus/TARGET-crashes.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh --fuzz
target="$1"
seconds="${2:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DTARNE_FUZZ=ON -DTARNE_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz -j 2 --target "$target"
mkdir -p "fuzz-corpus/$target" "fuzz-corpus/$target-crashes"
seeds=""
[ -d "tests/fuzz/seeds/$target" ] && seeds="tests/fuzz/seeds/$target"
"./build-fuzz/bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="fuzz-corpus/$target-crashes/" "fuzz-corpus/$target" $seeds
