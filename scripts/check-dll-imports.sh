#!/usr/bin/env bash
# Fails when a Windows program imports zlib1.dll: zlib is linked statically, so the programs run
# without any DLL beside them.
set -euo pipefail
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
status=0
for program in "$@"; do
    imports=$("$objdump" -p "$program" | grep "DLL Name:")
    [ -n "$imports" ] || { echo "$program: no import table read" >&2; status=1; continue; }
    if grep -qi "zlib" <<<"$imports"; then
        echo "$program imports $(grep -i zlib <<<"$imports")" >&2
        status=1
    fi
done
exit $status
