#!/bin/bash
# Sets everything up and runs the whole test suite: the normal build, the same suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, and a short bounded run of each fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHOROKATA_SANITIZE=ON -DHOROKATA_BENCH=OFF
cmake --build build-asan
# Leak checks stay off: the GUI libraries keep process-lifetime caches that LeakSanitizer
# would report; every other sanitizer finding fails the run.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -E '^e2e_package$'

echo "== fuzzing (bounded)"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHOROKATA_FUZZ=ON -DHOROKATA_TESTS=OFF -DHOROKATA_BENCH=OFF
seconds=${HOROKATA_FUZZ_SECONDS:-60}
for src in fuzz/*_fuzzer.cpp; do
    name=$(basename "$src" .cpp)
    cmake --build build-fuzz --target "$name"
    corpus=build-fuzz/corpus/${name%_fuzzer}
    mkdir -p "$corpus"
    seeds=fuzz/corpus/${name%_fuzzer}
    [ -d "$seeds" ] || seeds=""
    ASAN_OPTIONS=detect_leaks=0 "build-fuzz/fuzz/$name" -max_total_time="$seconds" -max_len=65536 \
        -print_final_stats=1 "$corpus" $seeds
done
echo "== all tests passed"
