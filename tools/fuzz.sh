#!/bin/sh
# Builds the fuzz targets with clang's libFuzzer and runs them, each for the given
# number of seconds, one after the other.
# Usage: tools/fuzz.sh [SECONDS [TARGET...]]   e.g. tools/fuzz.sh 600, tools/fuzz.sh 60 reader_fuzz
# Every target of tests/fuzz runs when none is named. The corpus grows in
# fuzz-corpus/TARGET; crashes land in fuzz-corpus/TARGET-crashes (keep each one as a seed
# in tests/fuzz/seeds/TARGET, so the regression test replays it). TARNE_SEED_CORPUS names
# a folder of real worlds to start the world targets (reader, normalize, render) from.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh --fuzz
seconds="${1:-60}"
[ $# -gt 0 ] && shift
targets="$*"
if [ -z "$targets" ]; then
    for source in tests/fuzz/*_fuzz.cpp; do targets="$targets $(basename "$source" .cpp)"; done
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DTARNE_FUZZ=ON -DTARNE_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
# shellcheck disable=SC2086
cmake --build build-fuzz -j 2 --target $targets
status=0
for target in $targets; do
    mkdir -p "fuzz-corpus/$target" "fuzz-corpus/$target-crashes"
    seeds=""
    [ -d "tests/fuzz/seeds/$target" ] && seeds="tests/fuzz/seeds/$target"
    case "$target" in
    reader_fuzz | normalize_fuzz | render_fuzz)
        [ -n "${TARNE_SEED_CORPUS:-}" ] && seeds="$seeds $TARNE_SEED_CORPUS" ;;
    esac
    echo "== $target: $seconds s"
    "./build-fuzz/bin/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=30 \
        -rss_limit_mb=4096 -artifact_prefix="fuzz-corpus/$target-crashes/" \
        "fuzz-corpus/$target" $seeds || status=1
done
exit $status
