#!/bin/sh
# Fails when a source file is not laid out as .clang-format says (clang-format -i fixes it).
set -e
cd "$(dirname "$0")/.."
command -v clang-format > /dev/null || sh tools/install-deps.sh --format
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "format: every source file as .clang-format lays it out"
