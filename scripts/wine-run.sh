#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# Used by CTest as the cross-compiling emulator and by the run and test scripts.
set -euo pipefail
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
"$(dirname "$0")/wine-prefix.sh" "$prefix"
exec wine "$@"
