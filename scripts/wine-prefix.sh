#!/usr/bin/env bash
# Creates (once) the private Wine prefix PREFIX: no crash dialogs, no Mono/Gecko prompts, and
# a "Segoe UI" replacement that covers Latin, Cyrillic and CJK so every language renders.
# The prefix is kept private: Wine links the user folders (Documents, Desktop, ...) of a new prefix
# to the Unix home, so a test or a seeded library would land in the real ~/Documents. Those links
# are replaced by plain folders inside the prefix. For the same reason Wine's menu builder is off:
# shortcuts and file types made inside the prefix must not reach the host's desktop menus.
set -euo pipefail
prefix=$1

privatize() {
    local link
    for link in "$prefix"/drive_c/users/*/*; do
        [ -L "$link" ] || continue
        case "$(readlink "$link")" in
            "$prefix"/*) ;;
            *) rm -f "$link" && mkdir -p "$link" ;;
        esac
    done
}

if [ -f "$prefix/.tirn-ready" ]; then
    privatize
    exit 0
fi
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.tirn-ready" ]; then
    privatize
    exit 0
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot -i >/dev/null 2>&1 || true
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
REG
wine regedit /S "$reg" >/dev/null 2>&1 || true
wineserver -w || true
rm -f "$reg"
privatize
touch "$prefix/.tirn-ready"
