#!/usr/bin/env bash
# The game thread is paced and the window keeps up: the real game runs for three
# seconds under Xvfb with a changing picture presented every pass (karvex-pacing
# --frames); it must make about 500 passes a second (not flat out, not starved)
# and show the newest picture about once per display refresh (60 Hz under Xvfb).
# Usage: pacing_smoke.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
pacing="$build_dir/bench/pacing/karvex-pacing"
[ -x "$pacing" ] || { echo "no $pacing (built with KARVEX_BUILD_GAME and KARVEX_BUILD_BENCH)"; exit 1; }

work=$(mktemp -d)
source "$source_dir/tests/scripts/xvfb.bash"
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"

output=$(cd "$build_dir/game" && SDL_AUDIODRIVER=dummy timeout 60 "$pacing" --seconds 3 --frames)
echo "$output"
passes=$(echo "$output" | sed -n 's|^game thread:.*= \([0-9.]*\) passes/s.*|\1|p')
shown=$(echo "$output" | awk '/^picture shown/ { print $5 }')
echo "$output" | grep -q '^runApp returned 0$' || { echo "FAIL: the game did not end with 0"; exit 1; }
# The upper bounds are the pacing and the refresh. The lower ones leave room for a busy
# machine (a game thread kept off the processor for 400 ms has been seen) and still
# catch a window that stops showing pictures or a game thread that oversleeps.
awk -v p="$passes" 'BEGIN { exit !(p >= 250 && p <= 505) }' || { echo "FAIL: $passes passes/s"; exit 1; }
awk -v s="$shown" 'BEGIN { exit !(s >= 25 && s <= 61) }' || { echo "FAIL: $shown pictures shown/s"; exit 1; }
echo "ok: $passes passes/s, $shown pictures shown/s"
