#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the prefix holds
# exactly the files a user of the viewer needs (no more: a stray header, test
# binary or static library would end up in the Debian package too), that the
# installed desktop entry and metainfo validate together with their icon, and
# that the installed converter runs from there.
set -euo pipefail
build=$1
gui=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/treskdump
  share/doc/treskviewer/changelog.gz
  share/doc/treskviewer/copyright
  share/man/man1/treskdump.1.gz
)
if [ "$gui" = ON ]; then
  expected+=(
    bin/treskviewer
    share/applications/treskviewer.desktop
    share/icons/hicolor/16x16/apps/treskviewer.png
    share/icons/hicolor/32x32/apps/treskviewer.png
    share/icons/hicolor/48x48/apps/treskviewer.png
    share/icons/hicolor/scalable/apps/treskviewer.svg
    share/man/man1/treskviewer.1.gz
    share/metainfo/io.github.treskviewer.treskviewer.metainfo.xml
    share/mime/packages/treskviewer.xml
  )
fi

echo "Installed into $prefix:"
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
sed 's/^/  /' <<<"$actual"
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [ "$actual" != "$want" ]; then
  echo "The installed files differ from the expected ones (- expected, + installed):"
  diff <(echo "$want") <(echo "$actual") || true
  exit 1
fi

exes=(bin/treskdump)
[ "$gui" = ON ] && exes+=(bin/treskviewer)
for exe in "${exes[@]}"; do
  [ -x "$prefix/$exe" ] || { echo "$exe is not executable"; exit 1; }
done
"$prefix/bin/treskdump" --version >/dev/null

gzip -t "$prefix/share/man/man1/treskdump.1.gz"
gzip -t "$prefix/share/doc/treskviewer/changelog.gz"
# Debian's machine-readable form, naming the MIT licence of LICENSE.
head -n 1 "$prefix/share/doc/treskviewer/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/'
grep -q 'Permission is hereby granted, free of charge' "$prefix/share/doc/treskviewer/copyright"

if [ "$gui" = ON ]; then
  # The theme's bitmaps, drawn from the SVG at build time, have their folder's size.
  for size in 16 32 48; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/treskviewer.png
    file -b "$png" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
      { echo "$png: $(file -b "$png")"; exit 1; }
  done
  desktop-file-validate "$prefix/share/applications/treskviewer.desktop"
  # validate-tree also checks that the metainfo's launchable names an
  # installed desktop entry and that the icon it names is in the tree.
  appstreamcli validate-tree --no-net "$prefix"
  # The file type registers (update-mime-database refuses a malformed
  # definition): PRG files by name, either case, at the low weight, and the
  # desktop entry opens that type.
  update-mime-database "$prefix/share/mime"
  grep -qx '10:application/x-tresk-cut-list:\*\.prg' "$prefix/share/mime/globs2"
  [ -f "$prefix/share/mime/application/x-tresk-cut-list.xml" ]
  grep -qx 'MimeType=application/x-tresk-cut-list;' "$prefix/share/applications/treskviewer.desktop"
  grep -qx 'Exec=treskviewer %f' "$prefix/share/applications/treskviewer.desktop"
fi
echo "install tree OK"
