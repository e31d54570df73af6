#!/usr/bin/env bash
# Collects real-world XM modules from Debian game-data packages into
# build/xm-corpus/ (or the folder given as the first argument). The packages
# are downloaded and unpacked, never installed. Exits 0 without a word when
# the packages cannot be had (offline); 1 only when files were found but are
# fewer than expected.
set -uo pipefail
cd "$(dirname "$0")/../.."

packages=(heroes-sound-tracks rafkill-data solarwolf gemdropx vodovod)
expected_files=25
target=${1:-build/xm-corpus}

count_files() { find "$target" -maxdepth 1 -name '*.xm' 2>/dev/null | wc -l; }

if [ "$(count_files)" -ge "$expected_files" ]; then
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(
    cd "$work" || exit 1
    apt-get download "${packages[@]}" >/dev/null 2>&1
) || {
    # The package lists may be missing or stale on a fresh machine.
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq >/dev/null 2>&1 || true
        (cd "$work" && apt-get download "${packages[@]}" >/dev/null 2>&1) || exit 0
    else
        exit 0
    fi
}

mkdir -p "$work/root" "$target"
for deb in "$work"/*.deb; do
    [ -f "$deb" ] || continue
    dpkg -x "$deb" "$work/root"
done
# Several packages use upper-case extensions; names stay as the packages have them.
find "$work/root" -type f \( -iname '*.xm' \) -exec cp -f {} "$target/" \;

found=$(count_files)
if [ "$found" -lt "$expected_files" ]; then
    echo "xm-corpus: found $found of $expected_files modules in ${packages[*]}" >&2
    exit 1
fi
