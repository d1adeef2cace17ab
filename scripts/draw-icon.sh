#!/usr/bin/env bash
# Draws the program's icon, resources/kestro.ico: a blue tile with a white
# pointer, at 48, 32 and 16 pixels. Needs ImageMagick; the result is kept in
# the repository, so building does not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
convert -size 256x256 xc:none \
  -fill "#1f5fbf" -draw "roundrectangle 8,8 247,247 40,40" \
  -fill white -draw "polygon 78,52 78,196 114,162 140,214 166,202 140,150 188,150" \
  -define icon:auto-resize=48,32,16 "$root/resources/kestro.ico"
