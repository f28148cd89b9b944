#!/usr/bin/env bash
# Fuzzes the route analysis (analyzeGpxText), the text core of the sport rewrite
# (rewriteSportText), the FIT decoder with the GPX writer (decodeFit, gpxFromActivity), the TCX
# reader and the ZIP and gzip reader with libFuzzer (clang, ASan + UBSan) for a while, the time
# shared equally, seeded with the examples, the real-world GPX, FIT and TCX corpora and ZIP and gzip
# files made of the examples. Any crash, leak, undefined behaviour or broken invariant fails the run.
# Usage: scripts/fuzz.sh [SECONDS [TARGET]]   (default 60 s in total; TARGET: fuzz only that one,
# e.g. fit_fuzz)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
build=build/fuzz
log=$build/fuzz.log
mkdir -p "$build"
: >"$log"

targets="analyze_fuzz:AnalyzeFuzz rewrite_fuzz:RewriteFuzz fit_fuzz:FitFuzz tcx_fuzz:TcxFuzz zip_fuzz:ZipFuzz"
if [ -n "${2:-}" ]; then
    targets=$(printf '%s\n' $targets | grep "^$2:" || true)
    [ -n "$targets" ] || { echo "fuzz: no target $2"; exit 1; }
fi
share=$((seconds / $(printf '%s\n' $targets | wc -l)))
for target in $targets; do
    if [ ! -f "tests/fuzz/${target#*:}.cpp" ]; then
        echo "fuzz: tests/fuzz/${target#*:}.cpp is missing" | tee -a "$log"
        exit 1
    fi
done
if ! cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DTIRN_FUZZ=ON >"$build/configure.log" 2>&1; then
    cat "$build/configure.log"
    exit 1
fi
if ! cmake --build "$build" -j2 --target $(printf '%s ' $targets | sed 's/:[A-Za-z]*//g'); then
    echo "fuzz: the fuzz targets did not build"
    exit 1
fi

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1
failed=0
for target in $targets; do
    name=${target%%:*}
    # The corpus lives in a scratch folder: libFuzzer adds the inputs it finds to it.
    corpus=$build/corpus-$name
    artifacts=$build/artifacts-$name
    rm -rf "$corpus" "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    case $name in
        fit_fuzz | tcx_fuzz)
            shared_corpus=$root/../shared/corpus/${name%_fuzz}
            if [ -d "$shared_corpus" ]; then
                find "$shared_corpus" -maxdepth 1 -type f -iname "*.${name%_fuzz}" -exec cp {} "$corpus/" \;
            fi
            ;;
        zip_fuzz)
            (cd examples && zip -q -X "$root/$corpus/examples.zip" ./*.gpx && zip -q -X -0 "$root/$corpus/stored.zip" ./*.gpx)
            gzip -c examples/Greifensee-Runde.gpx >"$corpus/route.gpx.gz"
            ;;
        *)
            cp examples/*.gpx "$corpus/" 2>/dev/null || true
            shared_corpus=$root/../shared/corpus/real
            if [ -d "$shared_corpus" ]; then
                find "$shared_corpus" -maxdepth 1 -type f -iname '*.gpx' -exec cp {} "$corpus/" \;
            fi
            ;;
    esac
    target_log=$build/$name.log
    echo "fuzz: $name, $(find "$corpus" -type f | wc -l) seed files, $share s" | tee -a "$log"

    # First every seed once and whole (some are megabytes; none without a corpus: -r), then mutations
    # kept small so that many run.
    find "$corpus" -type f -print0 | xargs -0 -r "$build/$name" -rss_limit_mb=2048 -timeout=60 \
        -artifact_prefix="$artifacts/" >"$target_log" 2>&1
    status=$?
    if [ $status -eq 0 ]; then
        "$build/$name" -max_total_time=$share -rss_limit_mb=2048 -timeout=30 -max_len=65536 \
            -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >>"$target_log" 2>&1
        status=$?
    fi
    cat "$target_log" >>"$log"
    grep -E '^(stat::number_of_executed_units|broken|SUMMARY)' "$target_log"
    if [ $status -ne 0 ] || ls "$artifacts" | grep -q .; then
        echo "fuzz: $name FAILED (exit $status); inputs kept in $artifacts"
        failed=1
    fi
done
if [ $failed -ne 0 ]; then
    tail -n 30 "$log"
    echo "fuzz: FAILED; log in $log"
    exit 1
fi
echo "fuzz: passed"
