#!/usr/bin/env bash
# Renders every module of the XM corpus with karvex-xm and with two other
# players from Debian (xmp and openmpt123, run as black boxes for figures only),
# all at 44,100 Hz, 16-bit stereo, linear interpolation, and prints each one's
# speed in seconds of audio per CPU second, and ours as a ratio to each.
# The peers render each song once; karvex-xm renders as many seconds as xmp did.
# Usage: bench/xm/compare.sh [BUILD_DIR] [PASSES]   (defaults: build, 3)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
passes=${2:-3}
corpus="$build/xm-corpus"
tool="$build/karvex-xm"

if ! command -v xmp >/dev/null || ! command -v openmpt123 >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends xmp openmpt123 >/dev/null
fi
[ -x "$tool" ] || { echo "no $tool: build first (cmake --build $build --target karvex-xm)" >&2; exit 1; }
[ -d "$corpus" ] || bash tools/xm-corpus/fetch.sh "$corpus"
mapfile -t files < <(find "$corpus" -maxdepth 1 -name '*.xm' | sort)
[ ${#files[@]} -gt 0 ] || { echo "no modules in $corpus" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# CPU seconds (user + system) of one command, its output discarded.
cpu_seconds() {
    local TIMEFORMAT='%U %S'
    { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%.3f", $1 + $2 }'
}

# Seconds of audio in a 16-bit stereo WAV at 44,100 Hz (the size less its 44-byte header).
audio_seconds() {
    awk -v bytes="$(stat -c %s "$1")" 'BEGIN { printf "%.3f", (bytes - 44) / (44100 * 4) }'
}

declare -A audio=([karvex]=0 [xmp]=0 [openmpt]=0)
declare -A cpu=([karvex]=0 [xmp]=0 [openmpt]=0)
add() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }

for file in "${files[@]}"; do
    for ((pass = 0; pass < passes; pass++)); do
        t=$(cpu_seconds xmp -q --norc --nocmd -i linear -f 44100 -b 16 -P 100 -o "$out/xmp.wav" "$file")
        cpu[xmp]=$(add "${cpu[xmp]}" "$t")
        audio[xmp]=$(add "${audio[xmp]}" "$(audio_seconds "$out/xmp.wav")")
        t=$(cpu_seconds openmpt123 -q --batch --samplerate 44100 --channels 2 --no-float --filter 2 --stereo 100 \
            --dither 0 --repeat 0 --force -o "$out/openmpt.wav" -- "$file")
        cpu[openmpt]=$(add "${cpu[openmpt]}" "$t")
        audio[openmpt]=$(add "${audio[openmpt]}" "$(audio_seconds "$out/openmpt.wav")")
        seconds=$(audio_seconds "$out/xmp.wav")
        t=$(cpu_seconds "$tool" render "$file" "$out/karvex.wav" --seconds "$seconds" --rate 44100)
        cpu[karvex]=$(add "${cpu[karvex]}" "$t")
        audio[karvex]=$(add "${audio[karvex]}" "$(audio_seconds "$out/karvex.wav")")
    done
done

speed() { awk -v a="${audio[$1]}" -v c="${cpu[$1]}" 'BEGIN { printf "%.1f", (c > 0 ? a / c : 0) }'; }
echo "${#files[@]} modules, $passes passes, 44,100 Hz 16-bit stereo, linear interpolation"
for player in karvex xmp openmpt; do
    printf '%-8s %10.1f s of audio in %7.2f CPU s: %8s s of audio per CPU second\n' \
        "$player" "${audio[$player]}" "${cpu[$player]}" "$(speed "$player")"
done
awk -v k="$(speed karvex)" -v x="$(speed xmp)" -v o="$(speed openmpt)" \
    'BEGIN { printf "karvex-xm is %.2f times as fast as xmp and %.2f times as fast as openmpt123\n", k / x, k / o }'
