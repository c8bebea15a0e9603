#!/usr/bin/env bash
# Regenerates the PNG icons installed into the hicolor theme. The 16 and 32 px
# images are the 16-colour program icons of resources/ pixel for pixel; the
# 48 px image is the hand-drawn SVG rendered at that size, since scaling the
# 32 px bitmap by 1.5 would smear its one-pixel lines.
# Needs ImageMagick (convert) and librsvg2-bin (rsvg-convert).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
resources="$here/../../resources"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
for size in 16 32; do
  "$convert" "$resources/treskviewer_$size.xpm" -strip "PNG32:$here/treskviewer_$size.png"
done
rsvg-convert -w 48 -h 48 "$here/treskviewer.svg" -o "$here/treskviewer_48.png.tmp"
"$convert" "$here/treskviewer_48.png.tmp" -strip "PNG32:$here/treskviewer_48.png"
rm -f "$here/treskviewer_48.png.tmp"
