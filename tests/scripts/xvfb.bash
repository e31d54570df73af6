# Sourced by the scripts that need an X server (not a test of its own).
# start_xvfb DIR starts a private Xvfb, 1024x768 at 24 bits, on a display number the
# server picks itself (no race with other tests starting one at the same moment), and
# exports DISPLAY; stop_xvfb ends it. DIR holds its log.
xvfb_pid=""

start_xvfb() {
    local dir=$1 display=""
    command -v Xvfb >/dev/null || { echo "missing Xvfb: run scripts/install-deps.sh test"; return 1; }
    exec {display_fd}<> "$dir/xvfb.display"
    Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        display=$(head -n 1 "$dir/xvfb.display" 2>/dev/null || true)
        [ -n "$display" ] && break
        sleep 0.1
    done
    exec {display_fd}>&-
    [ -n "$display" ] || { echo "Xvfb did not start:"; cat "$dir/xvfb.log"; return 1; }
    export DISPLAY=":$display"
}

stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}
