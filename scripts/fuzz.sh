#!/usr/bin/env bash
# Builds the datagram parser's libFuzzer target with clang in build-fuzz, seeds
# its corpus from the codec's test datagrams and fuzzes for a bounded time.
# Fails when the fuzzer finds a crash or a broken invariant.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j "$(nproc)"
corpus=build-fuzz/corpus
mkdir -p "$corpus" build-fuzz/artifacts
./build-fuzz/fuzz_seeds "$corpus"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ./build-fuzz/fuzz_datagram -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/artifacts/ "$corpus"
