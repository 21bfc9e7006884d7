#!/bin/sh
# Renders the PNG sizes of the desktop icons from their SVG drawings. The
# PNGs are kept in the source tree, so a build needs no SVG renderer; run
# this after changing a drawing (needs gdk-pixbuf's SVG loader).
set -e
cd "$(dirname "$0")/../desktop/icons"
for svg in *.svg; do
  for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$size"
    gdk-pixbuf-thumbnailer -s "$size" "$svg" "$size/${svg%.svg}.png"
  done
done
