#!/usr/bin/env bash
# Installs what is missing, builds Karvex and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh play
# The game needs neither the tests nor the benchmarks (nor their libraries).
cmake -S . -B build -G Ninja -DKARVEX_BUILD_TESTS=OFF -DKARVEX_BUILD_BENCH=OFF >/dev/null
cmake --build build --target karvex game-data
cd build/game
exec ./karvex
