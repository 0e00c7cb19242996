#!/usr/bin/env bash
# Draws the README's pictures with the built command line: a grid sheet of
# the demonstration knob, its preview page as headless Chromium shows it, and
# a few frames of each example in resources/examples side by side.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/resources/demo_knob.bmp" "$work/knob.bmp"
LANG=en_US.UTF-8 "$root/build/bin/torvelink-cli" "$work/knob.bmp" --layout grid:8 --frames 31 \
    --start -135 --end 135 -o "$root/resources/grid_sheet.png" -q
LANG=en_US.UTF-8 "$root/build/bin/torvelink-cli" "$work/knob.bmp" --vertical --frames 64 \
    --start -135 --sweep 270 --format png --preview -q
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size=600,280 \
    --screenshot="$root/resources/preview_page.png" "file://$work/knob_Seq_V.html" 2>/dev/null
# The examples' recipes as they are, but for a few frames in a row: the
# command line wins over a recipe.
for example in shaded:7 flat:7 pan:7 fader:5 lamp:5; do
    LANG=en_US.UTF-8 "$root/build/bin/torvelink-cli" "$root/resources/examples/${example%:*}.json" \
        --frames "${example#*:}" --horizontal --compression small \
        -o "$root/resources/example_${example%:*}.png" -q
done
