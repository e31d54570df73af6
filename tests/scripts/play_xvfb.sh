#!/usr/bin/env bash
# The real game under Xvfb, driven by xdotool: the title screen shows, Space
# starts a level, the ship moves and fires, F8 freezes the play field and
# frees it again, and SIGTERM ends the game with exit code 0. Screenshots are
# checked at known pixels against the generated pictures.
# Usage: play_xvfb.sh BUILD_DIR SOURCE_DIR [SHOTS_DIR]  (SHOTS_DIR keeps the screenshots)
set -euo pipefail
build_dir=$(cd "$1" && pwd)
game_dir=$build_dir/game
keep_dir=${3:-}
magick=/usr/bin/convert   # ImageMagick itself, whatever else is on the PATH

for tool in Xvfb xdotool import "$magick"; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done
[ -x "$game_dir/karvex" ] && [ -d "$game_dir/gfx" ] || { echo "build the game and game-data first"; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A fresh working directory: the pictures, no tune, no score.dat.
ln -s "$game_dir/gfx" "$work/gfx"

exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    display=$(head -n1 "$work/display" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "${display:-}" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$display
export SDL_AUDIODRIVER=dummy

fail() {
    echo "FAIL: $*"
    if [ -n "$keep_dir" ]; then cp "$work"/*.png "$keep_dir"/ 2>/dev/null || true; fi
    exit 1
}

(cd "$work" && exec "$game_dir/karvex") >"$work/game.log" 2>&1 &
game_pid=$!
window=$(timeout 20 xdotool search --sync --name '^Karvex' | head -n1) || fail "no window"

shot() {   # shot NAME: the window's picture as NAME.png
    import -window "$window" "$work/$1.png"
}
pixel() {  # pixel NAME X Y: "r,g,b" of a screenshot
    "$magick" "$work/$1.png" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}
picture_pixel() {  # picture_pixel FILE X Y: the same for a generated bitmap
    "$magick" "$game_dir/gfx/$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}
region() {  # region NAME: a checksum of the play field between the HUD strips
    "$magick" "$work/$1.png" -crop 640x380+0+40 +repage -depth 8 rgb:- | md5sum | cut -d' ' -f1
}
press() {  # press KEY SECONDS: held for that long, so the game thread sees it
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# The title screen: the panel's own colour shows between the raster bars.
sleep 2
shot title
panel_seen=0
for x in 60 100 300 500 580; do
    [ "$(pixel title "$x" 365)" = "57,3,195" ] && panel_seen=1
done
[ "$panel_seen" = 1 ] || fail "no title panel colour at y 365"

# Space: the slides, then the intro with its three seconds of text.
press space 0.1
sleep 1.5
shot intro
sleep 4
shot play
[ "$(pixel play 2 470)" = "$(picture_pixel hud_down.bmp 2 38)" ] || fail "lower HUD not shown in play"
[ "$(pixel play 20 8)" = "$(picture_pixel hud.bmp 20 8)" ] || fail "upper HUD not shown in play"

# Fly right and fire: the play field changes.
before=$(region play)
press Right 0.4
xdotool keydown Shift_L
sleep 0.3
shot firing
xdotool keyup Shift_L
[ "$(region firing)" != "$before" ] || fail "nothing moved on the play field"

# F8: the play field freezes, and moves again after a second F8.
press F8 0.05
sleep 0.5
shot paused1
sleep 1.5
shot paused2
[ "$(region paused1)" = "$(region paused2)" ] || fail "the play field moved during the pause"
press F8 0.05
sleep 0.5
press Left 0.5
shot resumed
[ "$(region resumed)" != "$(region paused2)" ] || fail "the play field stayed frozen after the pause"

kill -TERM "$game_pid"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" = 0 ] || fail "exit code $status after SIGTERM"
if [ -n "$keep_dir" ]; then cp "$work"/*.png "$keep_dir"/; fi
echo "play under Xvfb ok"
