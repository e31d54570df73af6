#!/usr/bin/env bash
# SDL stays behind the platform seam: only platform/sdl2/ (and bench/, where SDL
# serves as a yardstick) may include an SDL header.
set -euo pipefail
source_dir=$2
cd "$source_dir"
offenders=$(grep -rlE '#\s*include\s*[<"]SDL' --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' \
    . | grep -vE '^\./(platform/sdl2|bench|build[^/]*)/' || true)
if [ -n "$offenders" ]; then
    echo "SDL included outside platform/sdl2:"
    echo "$offenders"
    exit 1
fi
echo "SDL layering ok"
