#!/usr/bin/env bash
# Checks the written tune against two real module players, run as black boxes:
# both must load it without a warning and agree on its length to within a second.
# Usage: tools/tunegen/peer-check.sh [build/game/music.xm]
set -euo pipefail
tune=${1:-build/game/music.xm}
[ -f "$tune" ] || { echo "no tune at $tune: build first" >&2; exit 1; }

missing=()
command -v xmp >/dev/null || missing+=(xmp)
command -v openmpt123 >/dev/null || missing+=(openmpt123)
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

xmp_out=$(xmp --load-only "$tune" 2>&1)
mpt_out=$(openmpt123 --info "$tune" 2>&1)
status=0
if grep -qi 'warn' <<<"$xmp_out$mpt_out"; then
    echo "a player warned about the tune:"
    grep -i 'warn' <<<"$xmp_out$mpt_out"
    status=1
fi

# xmp prints "Duration     : 2min41s"; openmpt123 prints "Duration...: 02:41.280".
xmp_seconds=$(sed -nE 's/^Duration *: *([0-9]+)min([0-9]+)s.*/\1 \2/p' <<<"$xmp_out" | awk '{print $1 * 60 + $2}')
mpt_seconds=$(sed -nE 's/^Duration\.*: *([0-9]+):([0-9.]+).*/\1 \2/p' <<<"$mpt_out" | awk '{print $1 * 60 + $2}')
if [ -z "$xmp_seconds" ] || [ -z "$mpt_seconds" ]; then
    echo "could not read a length: xmp '$xmp_seconds', openmpt123 '$mpt_seconds'"
    exit 1
fi
echo "length: xmp ${xmp_seconds} s, openmpt123 ${mpt_seconds} s"
if ! awk -v a="$xmp_seconds" -v b="$mpt_seconds" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 1.0) }'; then
    echo "the players disagree on the length by more than a second"
    status=1
fi
exit $status
