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

# The FIT tests' reference decoder runs on Node.js; a node already there (of any origin) will do.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

# The reference decoder itself (test only, from the npm registry, pinned by package-lock.json).
install_fit_oracle() {
    local oracle
    oracle="$(cd "$(dirname "$0")/.." && pwd)/tests/tools/fit-oracle"
    [ -d "$oracle/node_modules/@garmin/fitsdk" ] && [ "$oracle/node_modules" -nt "$oracle/package-lock.json" ] &&
        return 0
    command -v npm >/dev/null 2>&1 || return 0
    echo "install-deps: installing the FIT reference decoder (npm ci)"
    (cd "$oracle" && npm ci --no-audit --no-fund --silent) || echo "install-deps: npm ci failed" >&2
}

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    install_fit_oracle
    exit 0
fi

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
install_fit_oracle
