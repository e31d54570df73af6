#!/usr/bin/env bash
# The picture generator writes the same bytes on every run, and what the build put
# into the game directory is what it writes now.
set -euo pipefail
build_dir=$1
generator="$build_dir/tools/gfxgen/gfxgen"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" "$work/first"
"$generator" "$work/second"
count=$(find "$work/first" -name '*.bmp' | wc -l)
if [ "$count" -ne 33 ]; then
    echo "expected 33 pictures, found $count"
    exit 1
fi
diff -r "$work/first" "$work/second"
diff -r "$work/first" "$build_dir/game/gfx"
"$generator" --contact-sheet "$work/sheet.bmp"
[ -s "$work/sheet.bmp" ]
echo "gfxgen output repeatable"
