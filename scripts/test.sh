#!/usr/bin/env bash
# Builds and tests everything: native (ASan/UBSan), Windows (mingw-w64, tests under Wine on a
# virtual display when there is none), the release packages with a test of the installer, and the
# analysis fuzzer. Ends with one line "N passed, N failed, N skipped" and a non-zero exit status
# when anything failed or did not build.
# Tests that read the real-world corpus beside the project skip without it; with CI set they fail.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/display.sh"
cd "$root"
started=$(date +%s)
extra_failed=0   # builds and steps that failed as a whole
extra_passed=0   # the installer test and the fuzz run
heading() { printf '\n=== %s (%ss)\n' "$*" $(( $(date +%s) - started )); }
step_failed() { echo "FAILED: $*"; extra_failed=$((extra_failed + 1)); }

heading "Installing missing packages"
scripts/install-deps.sh || step_failed "installing packages"

jobs=2
mkdir -p build
native=build/native
windows=build/windows

heading "Native build (Debug, AddressSanitizer + UndefinedBehaviorSanitizer)"
if cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIRN_SANITIZE=ON >"$native.configure.log" 2>&1 ||
   { cat "$native.configure.log"; false; }; then
    # -k 0: one broken target must not keep the others from being built and tested.
    cmake --build "$native" -j"$jobs" -- -k 0 || step_failed "native build"
else
    step_failed "native configure"
fi

heading "Windows build (mingw-w64, Release)"
if cmake -S . -B "$windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >"$windows.configure.log" 2>&1 ||
   { cat "$windows.configure.log"; false; }; then
    cmake --build "$windows" -j"$jobs" -- -k 0 || step_failed "Windows build"
else
    step_failed "Windows configure"
fi

heading "Native tests"
if [ -f "$native/CTestTestfile.cmake" ]; then
    rm -rf "$native/test-results"/*.xml "$native/ctest-results.xml"
    # LeakSanitizer needs ptrace-like access that some containers refuse; it then reports itself.
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
        ctest --test-dir "$native" --output-on-failure -j"$jobs" --timeout 900 \
        --output-junit "$root/$native/ctest-results.xml" || echo "(native tests reported failures)"
fi

xvfb_pid=
stop_display() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    fi
}
trap stop_display EXIT

heading "Windows tests under Wine"
if [ -f "$windows/CTestTestfile.cmake" ]; then
    if [ -z "${DISPLAY:-}" ]; then
        start_virtual_display 99 build/xvfb.log || step_failed "starting Xvfb on $DISPLAY (see build/xvfb.log)"
        echo "virtual display $DISPLAY"
    fi
    rm -rf "$windows/test-results"/*.xml "$windows/ctest-results.xml"
    # The private prefix is made, and Wine started once in it, before the first test: in a prefix
    # made moments before, the first program has been seen to end at once without a word.
    scripts/wine-prefix.sh "$root/$windows/wineprefix" || echo "(the Wine prefix could not be made)"
    WINEPREFIX="$root/$windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        wine cmd /c exit >/dev/null 2>&1 || true
    # One at a time: the GUI tests share the display and the Wine prefix.
    ctest --test-dir "$windows" --output-on-failure -j1 --timeout 1200 \
        --output-junit "$root/$windows/ctest-results.xml" || echo "(Windows tests reported failures)"
    # The Wine server of the private prefix would otherwise outlive the run.
    WINEPREFIX="$root/$windows/wineprefix" wineserver -k 2>/dev/null || true
fi
stop_display

heading "Release packages (installer and portable zip)"
if scripts/package.sh "$windows"; then
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$windows/CMakeCache.txt")
    heading "Installer test in a fresh Wine prefix"
    if scripts/installer-test.sh "dist/TirnGpxLibrary-$version-setup.exe"; then
        extra_passed=$((extra_passed + 1))
    else
        step_failed "installer test (see build/installer-test/checks.log)"
    fi
else
    step_failed "release packages"
fi

heading "Fuzzing the route analysis"
if scripts/fuzz.sh; then
    extra_passed=$((extra_passed + 1))
else
    step_failed "fuzzing (see build/fuzz/fuzz.log)"
fi

heading "Results"
read -r passed failed skipped < <(/usr/bin/python3 scripts/count-results.py "$native" "$windows")
passed=$((${passed:-0} + extra_passed))
failed=$((${failed:-0} + extra_failed))
skipped=${skipped:-0}
echo "took $(( $(date +%s) - started )) s"
[ -d ../shared/corpus/real ] || echo "(no real-world corpus at ../shared/corpus/real: the tests that read it were skipped)"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
