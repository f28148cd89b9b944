#!/usr/bin/env bash
# Mutation testing of the portable sources: how many small faults do the native tests catch?
#   scripts/mutation.sh [--sample N] [--seed S] [--file src/core/X.cpp] [--list]
# Each mutant is built in a scratch copy (build/mutation/tree, built without sanitizers into
# build/mutation/build, so a mutant costs one object and the links) and judged by the test
# programs that link its file. Takes long: not part of scripts/test.sh.
set -euo pipefail
project="$(cd "$(dirname "$0")/.." && pwd)"
work="$project/build/mutation"
mkdir -p "$work"
# The copy sees the real-world files beside it, as the project does.
if [[ -d "$project/../shared" && ! -e "$work/shared" ]]; then
    ln -s "$(cd "$project/../shared" && pwd)" "$work/shared"
fi
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$project}"
exec python3 "$project/scripts/mutation.py" --project "$project" --work "$work" "$@"
