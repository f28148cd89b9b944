# Sourced by the scripts that need an X display for Wine: a virtual display of their own and
# the wait for the main window. Callers kill "$xvfb_pid" when they are done.

# start_virtual_display FIRST_NUMBER LOG_FILE: starts Xvfb on the first free display number from
# FIRST_NUMBER on (no socket and no lock file yet), exports DISPLAY, sets xvfb_pid and waits until
# the display answers. Fails when it does not.
start_virtual_display() {
    local number=$1 log=$2
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
    Xvfb ":$number" -screen 0 1600x1000x24 -nolisten tcp >"$log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$number"
    for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.2; done
    xdpyinfo >/dev/null 2>&1
}

# wait_for_main_window: sets window to the program's main window, waiting up to a minute.
wait_for_main_window() {
    window=
    for _ in $(seq 1 120); do
        window=$(xdotool search --name '^Tirn GPX Library$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && return 0
        sleep 0.5
    done
    return 1
}
