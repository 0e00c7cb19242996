#!/usr/bin/env bash
# Installs the Debian packages the program, its tests and its benchmarks need,
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    # The CMake package's test builds a project with Ninja as well as make.
    ninja-build
    qt6-base-dev qt6-base-dev-tools libqt6gui6 libqt6network6
    libwmf-dev
    # libwmf reads its font map from the URW base-35 fonts, which Debian only
    # recommends: without them every metafile fails to play.
    fonts-urw-base35
    libdeflate-dev zlib1g-dev libisal-dev
    qt6-svg-dev qt6-image-formats-plugins
    # Qt's own German texts: the window's context menus (Rückgängig, ...).
    qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    # The Debian package: dpkg-shlibdeps finds the libraries the programs link.
    dpkg-dev file
    fonts-liberation fontconfig
    xvfb xauth imagemagick desktop-file-utils python3
    # The manual pages are checked by groff.
    groff-base
    # The preview page's test plays the page in a real browser.
    chromium
    # A strict PNG checker for the tests; Pillow and optipng for the
    # benchmarks that compare with them.
    pngcheck python3-pil optipng time
    # The independent renderer of bench/sharp_quality.py: librsvg draws the
    # knobs turned, the ground truth the turning routines are measured by.
    librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
