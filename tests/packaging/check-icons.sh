#!/usr/bin/env bash
# The 16 and 32 px theme icons must be the program's own 16-colour icons pixel
# for pixel (they are committed, made by packaging/icons/render.sh), and every
# PNG must have the size of the hicolor folder it is installed into.
set -euo pipefail
root=$1
icons=$root/packaging/icons
compare=/usr/bin/compare
[ -x "$compare" ] || compare=compare
status=0
for size in 16 32 48; do
  info=$(file -b "$icons/treskviewer_$size.png")
  if [[ $info != "PNG image data, $size x $size,"* ]]; then
    echo "treskviewer_$size.png: expected a $size x $size PNG, got: $info"
    status=1
  fi
done
for size in 16 32; do
  # compare prints the number of differing pixels on stderr.
  diff=$("$compare" -metric AE "$root/resources/treskviewer_$size.xpm" \
           "$icons/treskviewer_$size.png" null: 2>&1 || true)
  if [ "$diff" != "0" ]; then
    echo "treskviewer_$size.png differs from resources/treskviewer_$size.xpm ($diff pixels);" \
         "run packaging/icons/render.sh"
    status=1
  fi
done
if ! grep -q '<svg' "$icons/treskviewer.svg" || ! grep -q 'viewBox="0 0 32 32"' "$icons/treskviewer.svg"; then
  echo "treskviewer.svg: not a square SVG on the icon's 32-unit grid"
  status=1
fi
exit $status
