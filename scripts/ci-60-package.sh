#!/usr/bin/env bash
# Builds the Debian package from a Release build of the programs alone
# (BUILD, default build-release/, with Debian's hardening flags), checks it
# with lintian (no error, no warning), installs it into the system
# with apt, proves the installed programs work (the converter turns an example
# into its golden report, the viewer opens a file named on its command line on
# a virtual display, the cut-list file type is registered for it), then
# removes the package and checks that none of its files is left behind. Runs
# as root, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh ci  # what this stage uses, if .ci/run has not installed it yet
root=$(pwd)
build=${BUILD:-build-release}
start=$SECONDS
export DEBIAN_FRONTEND=noninteractive

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTRESK_BUILD_TESTS=OFF
fi
cmake --build "$build" -j "$(nproc)"

echo "--- cpack"
rm -f "$build"/treskviewer_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/treskviewer_*.deb)
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")
dpkg-deb --info "$deb"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
# dpkg-shlibdeps must have found the toolkit the viewer links, and zlib.
grep -q 'libwxgtk3.2' <<<"$depends" || { echo "the package does not depend on wxWidgets"; exit 1; }
grep -q 'libwxbase3.2' <<<"$depends" || { echo "the package does not depend on wxBase"; exit 1; }
grep -q 'zlib1g' <<<"$depends" || { echo "the package does not depend on zlib"; exit 1; }

echo "--- lintian"
# As root lintian only warns that it should not be; the package must draw no
# error and no warning (informational tags are printed, not fatal).
lintian --info --display-info --fail-on error,warning "$deb" | tee "$build/lintian.txt"
# Full RELRO, bind-now and PIE are only informational tags, but required here.
if grep -E 'hardening-no-(relro|bindnow|pie)' "$build/lintian.txt"; then
  echo "the programs are not built with the hardening flags"
  exit 1
fi
echo "lintian: no error, no warning, hardened"

echo "--- apt-get install"
apt-get install -y --reinstall "$deb"
dpkg -L treskviewer | LC_ALL=C sort > "$build/package-files.txt"
installed_files=()
while IFS= read -r f; do
  [ -f "$f" ] && installed_files+=("$f")
done < "$build/package-files.txt"
echo "Files of the package: ${#installed_files[@]}"
printf '  %s\n' "${installed_files[@]}"
for f in /usr/bin/treskdump /usr/bin/treskviewer /usr/share/applications/treskviewer.desktop \
         /usr/share/icons/hicolor/scalable/apps/treskviewer.svg \
         /usr/share/metainfo/io.github.treskviewer.treskviewer.metainfo.xml \
         /usr/share/mime/packages/treskviewer.xml /usr/share/doc/treskviewer/copyright \
         /usr/share/man/man1/treskdump.1.gz /usr/share/man/man1/treskviewer.1.gz; do
  [ -f "$f" ] || { echo "missing after install: $f"; exit 1; }
done

echo "--- file type"
# The package managers' triggers registered the type and the desktop entry
# that opens it, so file managers and the file chooser name PRG files.
grep -qx 'application/x-tresk-cut-list:\*\.prg' /usr/share/mime/globs ||
  { echo "the cut-list type is not in the MIME database"; exit 1; }
grep -q '^application/x-tresk-cut-list=.*treskviewer\.desktop' /usr/share/applications/mimeinfo.cache ||
  { echo "treskviewer.desktop is not offered for cut lists"; exit 1; }
echo "PRG files are cut lists, opened with treskviewer.desktop"

echo "--- installed treskdump"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Run from PATH, not from the build, and compare with the golden report.
(cd /tmp && treskdump --layout mem "$root/examples/lista_mem.PRG") > "$tmp/lista_mem.txt"
cmp "$tmp/lista_mem.txt" "$root/examples/lista_mem.PRG.txt"
treskdump --csv -d "$tmp" "$root/examples/lista_nuova.PRG"
cmp "$tmp/lista_nuova.PRG.csv" "$root/examples/lista_nuova.PRG.csv"
echo "treskdump output matches the golden files"

echo "--- installed treskviewer"
# Starts the viewer with an example named on its command line on a private X
# server, waits for its window, takes a screenshot of the screen for the CI
# log's folder, then ends the viewer.
cat > "$tmp/show.sh" <<'SHOW'
set -u
NO_AT_BRIDGE=1 treskviewer --layout mem "$2" &
pid=$!
found=""
for _ in $(seq 1 100); do
  # The dialog's title; the toolkit's hidden leader window is "treskviewer".
  if xwininfo -name TreskViewer 2>/dev/null | grep -q 'Map State: IsViewable'; then
    found=yes
    break
  fi
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "treskviewer ended before showing its window"
    exit 1
  fi
  sleep 0.1
done
xwininfo -name TreskViewer 2>/dev/null | grep -E 'Window id|Width|Height|Map State' || true
sleep 0.5
import -window root "$1" 2>/dev/null || true
kill "$pid"
wait "$pid" 2>/dev/null
[ -n "$found" ] || { echo "no TreskViewer window within 10 s"; exit 1; }
SHOW
xvfb-run -a -s "-screen 0 1024x768x24" bash "$tmp/show.sh" "$(cd "$build" && pwd)/installed-viewer.png" \
  "$root/examples/lista_mem.PRG"
echo "the installed viewer opened its window"

echo "--- apt-get remove"
apt-get remove -y treskviewer
if dpkg -s treskviewer 2>/dev/null | grep -q '^Status: install'; then
  echo "treskviewer is still installed"
  exit 1
fi
left=0
for f in "${installed_files[@]}"; do
  if [ -e "$f" ]; then
    echo "left behind: $f"
    left=1
  fi
done
[ "$left" -eq 0 ] || exit 1
if grep -q 'x-tresk-cut-list' /usr/share/mime/globs /usr/share/applications/mimeinfo.cache; then
  echo "the cut-list type is still registered"
  exit 1
fi
echo "package removed, no file left behind"
echo "package stage: $((SECONDS - start)) s"
