#!/usr/bin/env bash
# The tune's composer writes the same bytes on every run, and the game directory
# holds what it writes now.
set -euo pipefail
build_dir=$1
composer="$build_dir/tools/tunegen/tunegen"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$composer" "$work/first.xm"
"$composer" "$work/second.xm"
cmp "$work/first.xm" "$work/second.xm"
cmp "$work/first.xm" "$build_dir/game/music.xm"
echo "tunegen output repeatable"
