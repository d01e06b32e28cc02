#!/usr/bin/env bash
# Renders the scalable application icon into the PNG sizes that the desktop's icon theme and the
# program's own windows use. The PNGs are committed, so the build needs no SVG renderer; run this
# again after changing icons/tarvex.svg (needs rsvg-convert, Debian librsvg2-bin).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
svg="$here/icons/tarvex.svg"

for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" "$svg" --output "$here/icons/tarvex_$size.png"
done
# The windows' icon, compiled into the program.
cp "$here/icons/tarvex_256.png" "$here/../resources/images/tarvex.png"
