#!/usr/bin/env bash
# Creates (once) the private Wine prefix PREFIX: no crash dialogs, no Mono/Gecko prompts, and
# a "Segoe UI" replacement that covers Latin, Cyrillic and CJK so every language renders.
set -euo pipefail
prefix=$1
[ -f "$prefix/.tirn-ready" ] && exit 0
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.tirn-ready" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="WenQuanYi Micro Hei"
REG
wine regedit /S "$reg" >/dev/null 2>&1 || true
wineserver -w || true
rm -f "$reg"
touch "$prefix/.tirn-ready"
