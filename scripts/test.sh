#!/usr/bin/env bash
# Builds and runs every test: once normally, once with AddressSanitizer and
# UBSan. Network-namespace tests run only as root and skip elsewhere.
# Whatever was configured or built in build/ and build-asan/ before (run.sh
# leaves build/ without its tests), every option is set anew, and a run in
# which CTest finds no test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
# The README's first command, short of starting the program, comes first:
# a newcomer runs it before this one, and the suite must still be whole.
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
./scripts/run.sh --build-only
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

./scripts/configure.sh build tests
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"

./scripts/configure.sh build-asan sanitized
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs"

if [ -x scripts/fuzz.sh ]; then
  ./scripts/fuzz.sh
fi
