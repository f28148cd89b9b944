#!/usr/bin/env bash
# Starts the desktop program of BUILD_DIR under Wine: run-gui.sh BUILD_DIR
# With a display (DISPLAY set) the window opens there and the script waits until it is closed.
# Without one it starts a virtual display, waits for the window, saves build/screenshot.png
# (under the project root) and stops the program again.
# On the first run the prefix's default library is seeded with examples/*.gpx.
# Optional: GUI_KEYS="ctrl+t" presses those keys (xdotool names) before the screenshot;
# GUI_LANGUAGE=ja writes language.txt before the start; GUI_SELECT_ROW=1 clicks the
# first list row before the screenshot; GUI_SCREENSHOT=path saves the screenshot elsewhere.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/display.sh"
build=$(cd "${1:?usage: run-gui.sh BUILD_DIR}" && pwd)
exe=$(find "$build" -name tirn-gpx-library.exe -type f -print -quit)
[ -n "$exe" ] || { echo "run-gui: no tirn-gpx-library.exe below $build" >&2; exit 1; }
prefix=$build/wineprefix
screenshot=${GUI_SCREENSHOT:-$root/build/screenshot.png}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix.sh" "$prefix"

user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -print -quit)
documents=$user_dir/Documents
[ -d "$documents" ] || documents="$user_dir/My Documents"
settings="$user_dir/AppData/Roaming/Tirn GPX Library"
if [ ! -e "$prefix/.tirn-seeded" ]; then
    mkdir -p "$documents/Tirn GPX Library"
    cp -n "$root"/examples/*.gpx "$documents/Tirn GPX Library/" 2>/dev/null || true
    touch "$prefix/.tirn-seeded"
fi
if [ -n "${GUI_LANGUAGE:-}" ]; then
    mkdir -p "$settings"
    printf '%s' "$GUI_LANGUAGE" >"$settings/language.txt"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec wine "$exe"
fi

xvfb_pid= app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -n "$app_pid" ] && wait "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_virtual_display 110 /dev/null

wine "$exe" >/dev/null 2>&1 &
app_pid=$!
wait_for_main_window || { echo "run-gui: the window did not appear" >&2; exit 1; }
sleep 2
if [ "${GUI_SELECT_ROW:-0}" = 1 ]; then
    # The first row lies below the list's header: find it from the pixels (see smoke-test.sh).
    import -window root "$screenshot.tmp.png"
    read -r x y < <("$root/scripts/smoke-test.sh" --first-row "$screenshot.tmp.png")
    rm -f "$screenshot.tmp.png"
    xdotool mousemove "$x" "$y" click 1
    sleep 1.5
fi
if [ -n "${GUI_KEYS:-}" ]; then
    # shellcheck disable=SC2086  # one xdotool key name per word
    xdotool key --delay 300 $GUI_KEYS
    sleep 1.5
fi
mkdir -p "$(dirname "$screenshot")"
import -window root "$screenshot"
echo "run-gui: screenshot saved to $screenshot"
