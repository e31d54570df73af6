#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and scripted
# tests, the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# the threaded tests under ThreadSanitizer, and each fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh test

jobs=$(nproc)
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
fuzz_seconds=${KARVEX_FUZZ_SECONDS:-30}

step() { printf '\n=== %s\n' "$*"; }

step "build"
# Named explicitly: play.sh turns them off in the same build directory.
cmake -S . -B build -G Ninja -DKARVEX_BUILD_TESTS=ON -DKARVEX_BUILD_BENCH=ON -DKARVEX_BUILD_GAME=ON \
    -DKARVEX_WERROR=$werror >/dev/null
cmake --build build -j "$jobs"

step "real-world XM modules (skipped when offline)"
bash tools/xm-corpus/fetch.sh || echo "the XM corpus is incomplete; its test covers what is there"

step "tests"
ctest --test-dir build --output-on-failure -j "$jobs"

step "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DKARVEX_SANITIZE=address,undefined -DKARVEX_BUILD_GAME=OFF \
    -DKARVEX_BUILD_BENCH=OFF -DKARVEX_WERROR=$werror >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE script

step "threaded tests under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DKARVEX_SANITIZE=thread -DKARVEX_BUILD_GAME=OFF \
    -DKARVEX_BUILD_BENCH=OFF -DKARVEX_WERROR=$werror >/dev/null
cmake --build build-tsan -j "$jobs" --target karvexThreadTests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -L threads

if compgen -G "fuzz/*/CMakeLists.txt" >/dev/null; then
    step "fuzz targets, ${fuzz_seconds} s each"
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKARVEX_BUILD_FUZZ=ON -DKARVEX_BUILD_GAME=OFF \
        -DKARVEX_BUILD_BENCH=OFF -DKARVEX_SANITIZE=address,undefined >/dev/null
    cmake --build build-fuzz -j "$jobs" --target fuzzers
    for fuzzer in build-fuzz/fuzzers/fuzz_*; do
        [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
        name=$(basename "$fuzzer")
        corpus=$(mktemp -d)
        if [ -d "build-fuzz/fuzzers/$name.seeds" ]; then
            cp -r "build-fuzz/fuzzers/$name.seeds/." "$corpus/"
        fi
        seconds=$fuzz_seconds
        # The module loader reads the most hostile input; it gets a minute unless told otherwise.
        if [ "$name" = fuzz_xm ] && [ -z "${KARVEX_FUZZ_SECONDS:-}" ]; then
            seconds=60
        fi
        echo "--- $name"
        "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="build-fuzz/fuzzers/$name-" \
            "$corpus" 2>&1 | tail -n 12
        rm -rf "$corpus"
    done
fi

step "all tests passed"
