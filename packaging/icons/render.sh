#!/bin/sh
# Redraws the theme's PNG sizes of the program icon from wirtualon.svg (needs rsvg-convert,
# Debian librsvg2-bin); run it after changing the drawing and commit the PNGs with it.
set -eu
cd "$(dirname "$0")"
for size in 48 128 256; do
    rsvg-convert --width "$size" --height "$size" wirtualon.svg --output "wirtualon-$size.png"
done
