#!/usr/bin/env bash
# Installs the Debian packages that are missing. Usage: install-deps.sh play|test
set -euo pipefail

play_packages=(cmake ninja-build g++ pkg-config libsdl2-dev)
test_packages=("${play_packages[@]}" clang libclang-rt-14-dev libgtest-dev libgmock-dev
    libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils x11-apps libx11-dev sox)

case "${1:-play}" in
    play) wanted=("${play_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    *) echo "usage: $0 play|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
