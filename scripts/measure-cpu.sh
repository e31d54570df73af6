#!/usr/bin/env bash
# Measures the real game under Xvfb: the time from start to the first title
# frame, and the CPU share of each thread over a stretch of the title screen
# and of play (a level started with Space, the ship flying left and right).
# Usage: scripts/measure-cpu.sh BUILD_DIR [SECONDS]   (default 20 s per stretch)
set -euo pipefail
build_dir=$(cd "${1:-build}" && pwd)
seconds=${2:-20}
game_dir=$build_dir/game
magick=/usr/bin/convert
ticks=$(getconf CLK_TCK)

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -TERM "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
ln -s "$game_dir/gfx" "$work/gfx"
[ -f "$game_dir/music.xm" ] && ln -s "$game_dir/music.xm" "$work/music.xm"

exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    display=$(head -n1 "$work/display" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
done
export DISPLAY=:$display
export SDL_AUDIODRIVER=dummy

# CPU ticks of every thread: "tid:name utime+stime" lines.
thread_ticks() {
    local task
    for task in /proc/"$game_pid"/task/*; do
        printf '%s:%s %s\n' "${task##*/}" "$(tr ' ' '_' < "$task/comm" 2>/dev/null)" \
            "$(awk '{ sub(/^[^)]*\) /, ""); print $12 + $13 }' "$task/stat" 2>/dev/null)"
    done
}

measure() {  # measure NAME: CPU share per thread over the stretch
    local before after
    before=$(thread_ticks)
    sleep "$seconds"
    after=$(thread_ticks)
    echo "== $1, $seconds s (share of one core)"
    join <(sort <<<"$before") <(sort <<<"$after") | awk -v s="$seconds" -v t="$ticks" -v main="$game_pid" '
        { share = ($3 - $2) / t / s * 100; total += share
          split($1, id, ":")
          printf "  thread %s%s: %5.1f %%\n", $1, (id[1] == main ? " (main: events, picture to the window)" : ""), share }
        END { printf "  whole process: %5.1f %%\n", total }'
}

start_ns=$(date +%s%N)
(cd "$work" && exec "$game_dir/karvex") >/dev/null 2>&1 &
game_pid=$!
window=$(timeout 20 xdotool search --sync --name '^Karvex' | head -n1)
# The first title frame: the panel's colour (57, 3, 195) on screen between the bars.
panel_shown() {
    import -window "$window" "$work/t.png" 2>/dev/null || return 1
    for x in 60 100 300 500 580; do
        [ "$("$magick" "$work/t.png" -format '%[fx:int(255*p{'"$x"',365}.r)],%[fx:int(255*p{'"$x"',365}.g)],%[fx:int(255*p{'"$x"',365}.b)]' info: 2>/dev/null)" = "57,3,195" ] && return 0
    done
    return 1
}
for _ in $(seq 300); do
    panel_shown && break
done
echo "first title frame after $(( ($(date +%s%N) - start_ns) / 1000000 )) ms (screenshot polling, about 50 ms resolution)"

sleep 1
measure "title screen"

xdotool keydown space; sleep 0.1; xdotool keyup space
sleep 6
xdotool keydown Right
(sleep "$seconds"; xdotool keyup Right) &
measure "play, Right held"
wait
