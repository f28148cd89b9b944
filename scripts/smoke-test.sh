#!/usr/bin/env bash
# End-to-end check of the real program: smoke-test.sh BUILD_DIR
# Starts tirn-gpx-library.exe under Wine on a virtual display of its own with a small library,
# waits for the window, clicks the first list row, takes a screenshot and checks that the row
# shows the selected colour and that the sketch holds track-coloured pixels. Then drives it with
# real key events (xdotool) and asks window_probe.exe what it shows: focus, rows, search text,
# dialogs. Exit 0 or 1.
# Bounded in time; stops everything it started. (smoke-test.sh --first-row PNG prints the
# screen position of the first list row in a screenshot; run-gui.sh uses it.)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/display.sh"

# Pixel work on a screenshot: finds the client origin from the background colour, then the list's
# first row below its header, and checks the colours the window promises.
pixels() {
    python3 - "$@" <<'PY'
import subprocess, sys

mode, png = sys.argv[1], sys.argv[2]
out = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], check=True, stdout=subprocess.PIPE).stdout
parts = out.split(maxsplit=4)
width, height, data = int(parts[1]), int(parts[2]), parts[4]
def at(x, y):
    i = (y * width + x) * 3
    return tuple(data[i:i + 3])

BACKGROUND, EVEN, ODD, SELECTED, TRACK = (249, 248, 246), (255, 254, 251), (244, 245, 245), (214, 236, 250), (199, 140, 21)

def client_origin():
    # The top-left 18 x 18 pixels of the client area are plain window background.
    for y in range(height - 18):
        for x in range(width - 18):
            if at(x, y) == BACKGROUND and at(x + 17, y) == BACKGROUND and at(x, y + 17) == BACKGROUND \
                    and at(x + 17, y + 17) == BACKGROUND:
                return x, y
    raise SystemExit("no window background found")

def first_row(cx, cy):
    x = cx + 18 + 40
    for y in range(cy + 178, min(height, cy + 400)):
        if at(x, y) in (EVEN, SELECTED):
            return y
    raise SystemExit("no list row found")

cx, cy = client_origin()
top = first_row(cx, cy)
if mode == "first-row":
    print(cx + 18 + 40, top + 8)
    sys.exit(0)

# check: the clicked row and the sketch
row_y = top + 2
row = [at(x, row_y) for x in range(cx + 22, cx + 18 + 600)]
selected_share = sum(p == SELECTED for p in row) / len(row)
# The sketch sits at the top of the detail panel, right of the list (listWidth + 32).
client_width = next(x for x in range(width - 1, cx, -1) if at(x, cy + 10) == BACKGROUND) - cx + 1
list_width = max(620, client_width - 420)
sx, sy = cx + list_width + 32, cy + 94
track = sum(at(x, y) == TRACK for y in range(sy, min(height, sy + 230)) for x in range(sx, min(width, sx + 370)))
print(f"client origin {cx},{cy}; first row at y={top}; selected share {selected_share:.2f}; track pixels {track}")
ok = selected_share > 0.5 and track > 20
print("smoke test " + ("passed" if ok else "FAILED"))
sys.exit(0 if ok else 1)
PY
}

if [ "${1:-}" = --first-row ]; then
    pixels first-row "$2"
    exit 0
fi

build=$(cd "${1:?usage: smoke-test.sh BUILD_DIR}" && pwd)
exe=$(find "$build" -name tirn-gpx-library.exe -type f -print -quit)
[ -n "$exe" ] || { echo "smoke-test: no tirn-gpx-library.exe below $build" >&2; exit 1; }
prefix=$build/wineprefix-smoke
work=$build/smoke
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 300 "$root/scripts/wine-prefix.sh" "$prefix"

xvfb_pid= app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    timeout 20 wineserver -k 2>/dev/null || true
    [ -n "$app_pid" ] && wait "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# A fresh library of two routes and English captions, whatever earlier runs left behind.
user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -print -quit)
settings="$user_dir/AppData/Roaming/Tirn GPX Library"
library="$user_dir/Documents/Tirn GPX Library"
# Only ever clear folders that really lie inside the private prefix.
for folder in "$settings" "$library"; do
    mkdir -p "$folder"
    case "$(realpath "$folder")" in
        "$(realpath "$prefix")"/*) ;;
        *) echo "smoke-test: $folder lies outside the prefix; not touching it"; exit 1 ;;
    esac
done
rm -rf "$settings" "$library" "$work"
mkdir -p "$settings" "$library" "$work"
printf 'en' >"$settings/language.txt"
# track STEM-NAME SPORT LATITUDE DATE STEP: 41 points northwards, STEP degrees apart.
track() {
    printf '<?xml version="1.0"?>\n<gpx version="1.1"><trk><name>%s</name><type>%s</type><trkseg>\n' "$1" "$2"
    local i
    for i in $(seq 0 40); do
        printf '<trkpt lat="%s" lon="%s"><ele>%s</ele><time>%sT08:%02d:00Z</time></trkpt>\n' \
            "$(awk -v i="$i" -v b="$3" -v s="$5" 'BEGIN { printf "%.5f", b + i * s }')" \
            "$(awk -v i="$i" 'BEGIN { printf "%.5f", 11.5 + sin(i / 6) * 0.01 }')" $((500 + i)) "$4" "$i"
    done
    printf '</trkseg></trk></gpx>\n'
}
# Lengths Neu > Isar > Berg; dates Isar (2024-05-04) > Neu (2024-01-02) > Berg (2023-06-09), an
# order that differs from the order of their day-first texts.
track "Isar Runde" cycling 48.10 2024-05-04 0.002 >"$library/Isar.gpx"
track "Berg Tour" hiking 47.50 2023-06-09 0.001 >"$library/Berg.gpx"

start_virtual_display 120 "$work/xvfb.log"

timeout 240 wine "$exe" >"$work/wine.log" 2>&1 &
app_pid=$!
wait_for_main_window || { echo "smoke-test: the window did not appear"; exit 1; }
sleep 2
import -window root "$work/before.png"
read -r x y < <(pixels first-row "$work/before.png") || { echo "smoke-test: no list row found"; exit 1; }
xdotool mousemove "$x" "$y" click 1
sleep 1.5
import -window root "$work/after.png"
pixels check "$work/after.png" || exit 1

# The keyboard, as a user without a mouse has it.
probe_exe=$(find "$build" -name window_probe.exe -type f -print -quit)
[ -n "$probe_exe" ] || { echo "smoke-test: no window_probe.exe below $build"; exit 1; }
probe() { timeout 30 wine "$probe_exe" 2>/dev/null | tr -d '\r'; }
failures=0
# expect WHAT PATTERN: the probe's line must match the extended regular expression.
expect() {
    local line
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        line=$(probe)
        if [[ $line =~ $2 ]]; then echo "keyboard: $1: ok"; return 0; fi
        sleep 0.5
    done
    echo "keyboard: $1: FAILED ($line)"
    failures=$((failures + 1))
}
key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" || true
sleep 1
key ctrl+f
expect "Ctrl+F focuses the search box" "focus=104 "
xdotool type --delay 80 "berg"
expect "typing searches" "rows=1 .*search=berg "
key Escape
expect "Escape empties the search box" "rows=2 .*search= dialog"
key Tab
expect "Tab moves to the language box" "focus=117 "
key Tab
expect "Tab moves to the units box" "focus=118 "
key Tab
expect "Tab moves to the first filter" "focus=110 "
key shift+Tab shift+Tab shift+Tab
expect "Shift+Tab moves back" "focus=104 "
key Down
expect "Down moves into the list and selects" "focus=100 rows=2 selected=0 "
track "Neu" hiking 46.90 2024-01-02 0.003 >"$library/Neu.gpx"
key F5
expect "F5 reloads" "rows=3 "
key ctrl+o
expect "Ctrl+O opens the import dialog" "dialog=.+"
key Escape
expect "the dialog closes again" "dialog=$"

# Sorting by real clicks on the column headers: Length (largest first, then reversed), Date
# (newest first, by calendar), and a search keeps the order.
click_header() {
    local position
    position=$(timeout 30 wine "$probe_exe" --header "$1" 2>/dev/null | tr -d '\r')
    [[ $position =~ ^[0-9]+\ [0-9]+$ ]] || { echo "sort: no header $1 ($position)"; return 1; }
    # shellcheck disable=SC2086
    xdotool mousemove $position click 1
    sleep 0.6
}
click_header 3 && expect "a click on Length sorts largest first" "names=Neu\|Isar\|Berg "
click_header 3 && expect "a second click reverses" "names=Berg\|Isar\|Neu "
click_header 1 && expect "Date sorts newest first, by calendar" "names=Isar\|Neu\|Berg "
key ctrl+f
xdotool type --delay 80 "r"
expect "a search keeps the order" "names=Isar\|Berg focus"
key Escape
expect "an empty search shows every row, still sorted" "names=Isar\|Neu\|Berg "

# The list follows its folder without any input: a file copied in from outside appears, a deleted
# one disappears. The time is from the copy to the probe that saw it, the probe's start included.
follow() {
    local what=$1 rows=$2 start line elapsed
    start=$(date +%s%N)
    eval "$3"
    for _ in $(seq 1 40); do
        line=$(probe)
        if [[ $line =~ rows=$rows\  ]]; then
            elapsed=$((($(date +%s%N) - start) / 1000000))
            if [ "$elapsed" -le 3000 ]; then
                echo "folder: $what: ok after at most $elapsed ms"
            else
                echo "folder: $what: FAILED, seen only after $elapsed ms"
                failures=$((failures + 1))
            fi
            return
        fi
        sleep 0.2
    done
    echo "folder: $what: FAILED ($line)"
    failures=$((failures + 1))
}
track "Aus" running 45.00 2022-03-03 0.002 >"$work/Aus.gpx"
follow "a file copied into the folder appears" 4 'cp "$work/Aus.gpx" "$library/Aus.gpx"'
follow "a deleted file disappears" 3 'rm "$library/Aus.gpx"'

[ "$failures" -eq 0 ] || { echo "smoke test FAILED: $failures checks"; exit 1; }
echo "keyboard, sort and folder checks passed"
