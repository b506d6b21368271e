#!/usr/bin/env bash
# Renews the screenshots of the manual (help/screenshots/) by driving the editor under Xvfb:
# a scenery file, and the vehicle import from a synthetic simulator in a Wine-style prefix.
# Needs a built editor and the synthetic simulator (build/test, as ./scripts/test.sh makes it),
# xvfb, xdotool and ImageMagick's import. The clicks follow the windows' layout; run it again
# and look at the pictures when the windows change.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${ZOBL_BIN:-build/test/bin}
out=help/screenshots
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$out"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x720x24 >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display XDG_CONFIG_HOME=$work/config WINEPREFIX=$work/prefix QT_QPA_PLATFORM=xcb
"$bin/zobl_synthetic_simulator" --wine-prefix "$WINEPREFIX" 200 >/dev/null
cp data/sample.gs "$work/bahnhof.gs"

"$bin/zobl_ge" "$work/bahnhof.gs" >/dev/null 2>&1 &
sleep 5
import -window root -crop 1024x720+0+0 "$out/scenery.png"

# A new vehicle document, then "Fahrzeuge importieren..." with every category.
xdotool mousemove 24 33 click 1; sleep 1
xdotool mousemove 383 332 click 1; sleep 0.3
xdotool mousemove 415 366 click 1; sleep 1.5
xdotool mousemove 88 8 click 1; sleep 0.7
xdotool mousemove 150 253 click 1; sleep 1
for y in 253 279 305 331 357 383 409; do
    xdotool mousemove 395 $y click 1 mousemove 512 $y click 1
done
xdotool mousemove 415 448 click 1; sleep 4
import -window root -crop 1024x720+0+0 "$out/import.png"
echo "screenshots in $out"
