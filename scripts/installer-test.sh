#!/usr/bin/env bash
# End-to-end test of the release packages: installer-test.sh dist/TirnGpxLibrary-VERSION-setup.exe
# In a fresh Wine prefix (build/installer-test/prefix) and on a virtual display of its own:
#   - an older version (the same script built as 0.0.1) is installed, then this one over it, both
#     silently: files, Start-menu shortcut and uninstall entry of this version, in the same folder;
#   - the installed programs run: tirn-gpx --version, and the window appears with the user's
#     library and closes again;
#   - while the program runs, the silent installer and uninstaller (run in place with _?=) refuse
#     with exit status 2 and change nothing;
#   - the silent uninstaller removes the program folder, shortcut and entry, and leaves the
#     library and the settings as they were.
# Prints one line per check and exits 1 when any failed. Stops everything it started.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/display.sh"
setup=$(realpath "${1:?usage: installer-test.sh dist/TirnGpxLibrary-VERSION-setup.exe}")
version=$(basename "$setup" | sed -n 's/^TirnGpxLibrary-\(.*\)-setup\.exe$/\1/p')
portable=$(dirname "$setup")/TirnGpxLibrary-$version-portable.zip
[ -n "$version" ] && [ -f "$setup" ] && [ -f "$portable" ] ||
    { echo "installer-test: need $setup and the portable zip beside it" >&2; exit 1; }

work=$root/build/installer-test
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
# No menu entries on the host for the shortcut the installer makes (see wine-prefix.sh).
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

failures=0
check() {  # check DESCRIPTION COMMAND...: runs the command, reports and counts its outcome
    local what=$1
    shift
    if "$@" >>"$work/checks.log" 2>&1; then
        echo "  ok    $what"
    else
        echo "  FAIL  $what"
        failures=$((failures + 1))
    fi
}

xvfb_pid= app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    timeout 20 wineserver -k 2>/dev/null
    [ -n "$app_pid" ] && wait "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

started=$(date +%s)
timeout 300 "$root/scripts/wine-prefix.sh" "$prefix" || { echo "installer-test: no Wine prefix"; exit 1; }
start_virtual_display 130 "$work/xvfb.log" || { echo "installer-test: no virtual display"; exit 1; }

user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -print -quit)
user=$(basename "$user_dir")
install_dir=$user_dir/AppData/Local/Programs/Tirn\ GPX\ Library
install_dir_windows="C:\\users\\$user\\AppData\\Local\\Programs\\Tirn GPX Library"
shortcut=$user_dir/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Tirn\ GPX\ Library.lnk
library=$user_dir/Documents/Tirn\ GPX\ Library
settings=$user_dir/AppData/Roaming/Tirn\ GPX\ Library
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TirnGpxLibrary'

# The user's library and settings, which the uninstaller must leave as they are.
mkdir -p "$library" "$settings"
cp "$root/examples/Greifensee-Runde.gpx" "$library/"
printf 'en' >"$settings/language.txt"
user_data() { (cd "$user_dir" && find Documents AppData/Roaming/Tirn\ GPX\ Library -type f -exec md5sum {} + | sort); }
host_menus() { find "$HOME/.local/share/applications" "$HOME/.config/menus" -type f 2>/dev/null | sort; }
host_menus_before=$(host_menus)

run_windows() { timeout 120 wine "$@" </dev/null; }
entry_value() {  # entry_value NAME: the value of the uninstall entry, empty when there is none
    run_windows reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
install_state() {  # what an install or uninstall changes: files with times and sums, shortcut, entry
    (cd "$user_dir" && find AppData/Local/Programs -exec ls -ld --time-style=+%s.%N {} + | sort &&
        md5sum AppData/Local/Programs/Tirn\ GPX\ Library/* && ls -l --time-style=+%s.%N "$shortcut")
    entry_value DisplayVersion
}
exits_with() {  # exits_with STATUS COMMAND...: the command ends with exactly this exit status
    local want=$1
    shift
    run_windows "$@"
    local got=$?
    [ "$got" -eq "$want" ] || { echo "expected exit status $want, got $got"; false; }
}
same_text() { [ "$1" = "$2" ] || { echo "expected [$2], got [$1]"; false; }; }

echo "installer-test: $(basename "$setup") and $(basename "$portable") in $prefix"

# An older release, made from the same files with a lower version and a README of its own.
mkdir -p "$work/old"
python3 -m zipfile -e "$portable" "$work/old"
stage=$work/old/TirnGpxLibrary-$version
echo "the old README" >"$stage/README.txt"
makensis -V1 -DVERSION=0.0.1 -DSTAGE="$stage" -DICON="$root/src/app/tirn-gpx-library.ico" \
    -DOUTFILE="$work/old-setup.exe" "$root/packaging/installer.nsi" >"$work/makensis.log" 2>&1 ||
    { cat "$work/makensis.log"; exit 1; }

check "the older version installs silently" run_windows "$work/old-setup.exe" /S
check "and is listed as 0.0.1" same_text "$(entry_value DisplayVersion)" 0.0.1
check "this version installs silently over it" run_windows "$setup" /S
mkdir -p "$work/new"
python3 -m zipfile -e "$portable" "$work/new"
for file in tirn-gpx-library.exe tirn-gpx.exe README.txt LICENSE.txt; do
    check "$file installed as packaged" cmp "$install_dir/$file" "$work/new/TirnGpxLibrary-$version/$file"
done
check "uninstall.exe installed" test -f "$install_dir/uninstall.exe"
check "Start-menu shortcut to the program" grep -qa 'tirn-gpx-library.exe' "$shortcut"
check "uninstall entry: DisplayName" same_text "$(entry_value DisplayName)" "Tirn GPX Library"
check "uninstall entry: DisplayVersion" same_text "$(entry_value DisplayVersion)" "$version"
check "uninstall entry: Publisher" same_text "$(entry_value Publisher)" "Tirn GPX Library developers"
check "uninstall entry: DisplayIcon" same_text "$(entry_value DisplayIcon)" "$install_dir_windows\\tirn-gpx-library.exe,0"
check "uninstall entry: UninstallString" same_text "$(entry_value UninstallString)" "\"$install_dir_windows\\uninstall.exe\""
check "nothing installed beside the program folder" same_text \
    "$(cd "$user_dir/AppData/Local/Programs" && ls)" "Tirn GPX Library"
check "tirn-gpx --version" same_text "$(run_windows "$install_dir/tirn-gpx.exe" --version | tr -d '\r')" \
    "tirn-gpx $version"

timeout 120 wine "$install_dir/tirn-gpx-library.exe" >"$work/program.log" 2>&1 &
app_pid=$!
if wait_for_main_window; then
    echo "  ok    the installed program shows its window"
    state_before=$(install_state)
    # The older installer would visibly change the install (README, version) if it went ahead.
    check "the installer refuses while the program runs (status 2)" exits_with 2 "$work/old-setup.exe" /S
    check "  and changes nothing" same_text "$(install_state)" "$state_before"
    # _?= runs the uninstaller in place, so its exit code is its own. NSIS takes the rest of the
    # command line unquoted, and Wine would quote an argument with blanks: pass it as words.
    read -ra in_place <<<"_?=$install_dir_windows"
    check "the uninstaller refuses while the program runs (status 2)" \
        exits_with 2 "$install_dir/uninstall.exe" /S "${in_place[@]}"
    check "  and changes nothing" same_text "$(install_state)" "$state_before"
    # taskkill without /f asks the window to close, as the user would.
    run_windows taskkill /im tirn-gpx-library.exe >>"$work/checks.log" 2>&1
    for _ in $(seq 1 60); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.5; done
    kill -0 "$app_pid" 2>/dev/null && kill "$app_pid"
    wait "$app_pid"
    check "the program closes and ends with status 0" test $? -eq 0
    app_pid=
else
    echo "  FAIL  the installed program shows its window"
    failures=$((failures + 1))
fi

# As the program left them (it keeps its own state beside the settings).
user_data_before=$(user_data)
# NSIS's uninstaller copies itself to %TEMP% and returns at once: wait for the prefix to go idle.
check "the uninstaller runs silently" run_windows "$install_dir/uninstall.exe" /S
check "  and finishes" timeout 120 wineserver -w
check "the program folder is gone" test ! -e "$install_dir"
check "the shortcut is gone" test ! -e "$shortcut"
check "the uninstall entry is gone" same_text "$(entry_value DisplayName)" ""
check "the library and the settings are untouched" same_text "$(user_data)" "$user_data_before"
check "  (the library's route among them)" grep -q 'Library/Greifensee-Runde.gpx$' <<<"$user_data_before"
check "  (and language.txt)" grep -q 'Library/language.txt$' <<<"$user_data_before"
check "no menu entries on the host" same_text "$(host_menus)" "$host_menus_before"

echo "installer-test: $failures failed, $(($(date +%s) - started)) s (details in $work/checks.log)"
[ "$failures" -eq 0 ]
