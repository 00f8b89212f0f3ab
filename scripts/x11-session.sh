# Sourced by scripts/test and scripts/demo: starts Xvfb on a free display with openbox,
# exports DISPLAY, and stops both when the calling script exits. A caller that sets an
# EXIT trap of its own afterwards replaces this one: its trap must call stop_x11_session.

start_x11_session() {
    local display=90
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    # -noreset keeps keyboard layout changes when the last client leaves.
    Xvfb ":$display" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    X11_XVFB_PID=$!
    export DISPLAY=":$display"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; return 1; }
    openbox >/dev/null 2>&1 &
    X11_OPENBOX_PID=$!
    # The window manager is ready once it announces its supported hints.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && break
        sleep 0.1
    done
    setxkbmap us
    trap stop_x11_session EXIT
}

stop_x11_session() {
    [ -n "${X11_OPENBOX_PID:-}" ] && kill "$X11_OPENBOX_PID" 2>/dev/null
    [ -n "${X11_XVFB_PID:-}" ] && kill "$X11_XVFB_PID" 2>/dev/null
    wait 2>/dev/null || true
}
