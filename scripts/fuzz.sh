#!/usr/bin/env bash
# Fuzzes analyzeGpxText with libFuzzer (clang, ASan + UBSan) for a while, seeded with the
# examples and the real-world corpus. Any crash, leak or undefined behaviour fails the run.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
build=build/fuzz
log=$build/fuzz.log
mkdir -p "$build"

if [ ! -f tests/fuzz/AnalyzeFuzz.cpp ]; then
    echo "fuzz: tests/fuzz/AnalyzeFuzz.cpp is missing" | tee "$log"
    exit 1
fi
if ! cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DTIRN_FUZZ=ON >"$build/configure.log" 2>&1; then
    cat "$build/configure.log"
    exit 1
fi
if ! cmake --build "$build" -j2 --target analyze_fuzz; then
    echo "fuzz: the fuzz target did not build"
    exit 1
fi

# The corpus lives in a scratch folder: libFuzzer adds the inputs it finds to it.
corpus=$build/corpus
artifacts=$build/artifacts
rm -rf "$corpus" "$artifacts"
mkdir -p "$corpus" "$artifacts"
cp examples/*.gpx "$corpus/" 2>/dev/null || true
shared_corpus=$root/../shared/corpus/real
if [ -d "$shared_corpus" ]; then
    find "$shared_corpus" -maxdepth 1 -type f -iname '*.gpx' -exec cp {} "$corpus/" \;
fi
echo "fuzz: $(find "$corpus" -type f | wc -l) seed files, $seconds s"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1
# First every seed once and whole (some are megabytes), then mutations kept small so that many run.
find "$corpus" -type f -print0 | xargs -0 "$build/analyze_fuzz" -rss_limit_mb=2048 -timeout=60 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1
status=$?
if [ $status -eq 0 ]; then
    "$build/analyze_fuzz" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >>"$log" 2>&1
    status=$?
fi
tail -n 15 "$log"
if [ $status -ne 0 ] || ls "$artifacts" | grep -q .; then
    echo "fuzz: FAILED (exit $status); inputs kept in $artifacts, log in $log"
    exit 1
fi
echo "fuzz: passed"
