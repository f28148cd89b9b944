#!/usr/bin/env bash
# The window at 144 DPI: high-dpi-test.sh BUILD_DIR [--gtest_output=xml:PATH]
# Runs the window tests meant for a 144-DPI display in a Wine prefix of their own whose system
# DPI is 144, on a virtual display large enough for a window of 1.5 times the normal size
# (a smaller one would make the window shrink to fit). Their results join the others'.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/display.sh"
build=$(cd "${1:?usage: high-dpi-test.sh BUILD_DIR}" && pwd)
tests=$(find "$build" -name gui_tests.exe -type f -print -quit)
[ -n "$tests" ] || { echo "high-dpi-test: no gui_tests.exe below $build" >&2; exit 1; }
prefix=$build/wineprefix-144
"$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -e "$prefix/.tirn-144" ]; then
    reg=$(mktemp --suffix=.reg)
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:00000090\n' >"$reg"
    wine regedit /S "$reg" >/dev/null 2>&1
    wineserver -w
    rm -f "$reg"
    touch "$prefix/.tirn-144"
fi

xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# A display of its own: the normal one is too small for the window at 1.5 times its size.
number=150
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 2600x1700x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$number"
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done

cd "$(dirname "$tests")"
wine "$tests" --gtest_also_run_disabled_tests --gtest_filter='*DISABLED_HighDpi*' "${@:2}"
