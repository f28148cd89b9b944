#!/usr/bin/env bash
# Builds the release packages from the Release Windows configuration: package.sh [BUILD_DIR]
# (default build/windows) writes into dist/
#   TirnGpxLibrary-VERSION-portable.zip  the two programs, README.txt and LICENSE.txt in one folder
#   TirnGpxLibrary-VERSION-setup.exe     the per-user installer (NSIS, packaging/installer.nsi)
# VERSION is project(VERSION) of the root CMakeLists.txt, read from the configured build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/windows}
dist=$root/dist
scripts/install-deps.sh

if [ ! -f "$build/CMakeCache.txt" ]; then
    mkdir -p "$(dirname "$build")"
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >"$build.configure.log" 2>&1 ||
        { cat "$build.configure.log"; exit 1; }
fi
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
if [ "$(cache_value CMAKE_BUILD_TYPE)" != Release ] || [[ "$(cache_value CMAKE_TOOLCHAIN_FILE)" != *mingw-w64* ]]; then
    echo "package: $build is not the Release Windows configuration" >&2
    exit 1
fi
version=$(cache_value CMAKE_PROJECT_VERSION)
[ -n "$version" ] || { echo "package: no project version in $build/CMakeCache.txt" >&2; exit 1; }
cmake --build "$build" -j2 --target tirn-gpx-library tirn-gpx

gui_exe=$(find "$build" -name tirn-gpx-library.exe -type f -print -quit)
cli_exe=$(find "$build" -name tirn-gpx.exe -type f -print -quit)
[ -n "$gui_exe" ] && [ -n "$cli_exe" ] || { echo "package: the programs were not built" >&2; exit 1; }

name=TirnGpxLibrary-$version
work=$(realpath -m "$build/package")
stage=$work/$name
rm -rf "$work"
mkdir -p "$stage" "$dist"
# Symbols are of no use to users and make up most of the size.
x86_64-w64-mingw32-strip -o "$stage/tirn-gpx-library.exe" "$gui_exe"
x86_64-w64-mingw32-strip -o "$stage/tirn-gpx.exe" "$cli_exe"
# Texts with Windows line ends, so that Notepad of any age shows them right.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/README-Windows.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
# The same sources give the same packages: every file carries the time of the last commit.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 0)
[ "$stamp" -gt 0 ] || stamp=$(date +%s)
find "$stage" -exec touch -d "@$stamp" {} +

zip_file=$dist/$name-portable.zip
setup_file=$dist/$name-setup.exe
rm -f "$zip_file" "$setup_file"
(cd "$work" && TZ=UTC zip -q -X -9 -r "$zip_file" "$name")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$root/src/app/tirn-gpx-library.ico" \
    -DOUTFILE="$setup_file" packaging/installer.nsi

for file in "$zip_file" "$setup_file"; do
    echo "package: $(realpath --relative-to="$root" "$file") ($(stat -c %s "$file") bytes)"
done
