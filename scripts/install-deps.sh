#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need. Quiet and quick when
# everything is already there; otherwise one `apt-get update` and one install of what is missing.
set -euo pipefail

packages=(
    # native build and tests
    cmake ninja-build g++ clang libclang-rt-14-dev googletest python3
    # Windows cross build and running it
    g++-mingw-w64-x86-64-posix wine wine64
    # release packages: the installer (NSIS) and the portable zip
    nsis zip
    # gzip and ZIP reading: zlib natively and for Windows (linked statically there)
    zlib1g-dev libz-mingw-w64-dev
    # what Wine's display driver loads at run time (only recommended by the Wine packages): without
    # them windows render differently (no XRender anti-aliasing, no XInput) and the GUI tests drift
    fonts-wine fonts-liberation libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1
    libxfixes3 libxxf86vm1 libgl1
    # headless display for the GUI and its tests, screenshots, window automation
    xvfb xauth x11-utils xdotool imagemagick
    # a font that covers Latin, Cyrillic, Greek, CJK and Hangul for every interface language
    fontconfig fonts-wqy-microhei
    # the scripts themselves
    procps git ca-certificates util-linux coreutils findutils
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo available" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
# Recommends are left out: they would pull in desktop packages the headless build never uses.
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# A font installed just now must be known to fontconfig before Wine starts.
command -v fc-cache >/dev/null 2>&1 && fc-cache -f >/dev/null 2>&1 || true
echo "install-deps: done"
