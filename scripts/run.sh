#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine (scripts/run-gui.sh). Where the GUI is not
# available yet, builds natively and prints the summary of the example routes instead.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh

windows=build/windows
echo "=== Windows build (mingw-w64, Release)"
cmake -S . -B "$windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
# Only the programs: the test programs are test.sh's business.
targets=()
for target in tirn-gpx-library tirn-gpx; do
    if cmake --build "$windows" --target help 2>/dev/null | grep -q "^$target:"; then
        targets+=(--target "$target")
    fi
done
cmake --build "$windows" -j2 "${targets[@]}"

gui_exe=$(find "$windows" -name tirn-gpx-library.exe -type f -print -quit 2>/dev/null || true)
if [ -x scripts/run-gui.sh ] && [ -n "$gui_exe" ]; then
    exec scripts/run-gui.sh "$windows"
fi

echo "=== The window is not available yet: native console tool on examples/"
native=build/release
cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" -j2 --target tirn-gpx
exec "$native/tirn-gpx" summary examples/
