#!/usr/bin/env bash
# Checks what scripts/build-windows.sh leaves in DIST_DIR: TreskViewer.exe
# carries its icon (32 x 32 and 16 x 16, 16 colours) and its Italian version
# record; the zip holds both programs and a read-me with CR LF line ends; the
# installer installs silently under Wine (programs, Start-menu entry,
# installed-programs entry) and its uninstaller removes all of it silently.
#
# Usage: check_dist.sh DIST_DIR     (in the Wine prefix WINEPREFIX)
set -euo pipefail
dist=$(realpath "$1")
version=1.0.0.1
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/checks.sh"

# The icon group IDR_MAINFRAME (128) with its two 4-bit images.
exe=$dist/TreskViewer.exe
wrestool -x -t14 -n128 -o "$work/icon.ico" "$exe" 2>/dev/null || true
if [ ! -s "$work/icon.ico" ]; then
    fail "TreskViewer.exe has no icon group 128"
elif [ "$(icotool -l "$work/icon.ico" | sed 's/--index=[0-9]* //' | sort | tr '\n' ' ')" != \
      "--icon --width=16 --height=16 --bit-depth=4 --palette-size=16 --icon --width=32 --height=32 --bit-depth=4 --palette-size=16 " ]; then
    fail "the icon is not 32 x 32 and 16 x 16 in 16 colours: $(icotool -l "$work/icon.ico")"
fi

# The version record: 1.0.0.1 as numbers (VS_FIXEDFILEINFO after its
# signature: structure version, file version, product version), the texts of
# the Italian Windows-1252 block and the translation 0x0410, 1252.
wrestool -x --raw -t16 "$exe" >"$work/version.res" 2>/dev/null || true
hex=$(od -An -v -tx1 "$work/version.res" | tr -d ' \n')
[[ $hex == *bd04effe00000100000001000100000000000100010000* ]] ||
    fail "the version record's numbers are not 1.0.0.1"
[[ $hex == *1004e404 ]] || fail "the version record's translation is not 0x0410, 1252"
strings -el "$work/version.res" | tr '\n' '|' >"$work/version.txt"
for pair in "041004E4" "FileDescription|TreskViewer Applicazione MFC" "FileVersion|1, 0, 0, 1" \
    "InternalName|TreskViewer" "OriginalFilename|TreskViewer.EXE" \
    "ProductName|TreskViewer Applicazione" "ProductVersion|1, 0, 0, 1"; do
    grep -qF "|$pair|" "$work/version.txt" || fail "the version record lacks \"$pair\""
done

# The zip: a folder with both programs, the very files of dist/, and the
# read-me with CR LF line ends.
zip=$dist/TreskViewer-$version-win64.zip
(cd "$work" && cmake -E tar xf "$zip")
folder=$work/TreskViewer-$version
[ "$(cd "$work" && find "TreskViewer-$version" -type f | sort | tr '\n' ' ')" = \
  "TreskViewer-$version/LEGGIMI.txt TreskViewer-$version/TreskViewer.exe TreskViewer-$version/treskdump.exe " ] ||
    fail "the zip does not hold exactly the programs and LEGGIMI.txt"
for program in TreskViewer.exe treskdump.exe; do
    cmp -s "$folder/$program" "$dist/$program" || fail "the zip's $program is not dist's"
done
lines=$(wc -l <"$folder/LEGGIMI.txt")
[ "$lines" -gt 10 ] && [ "$(grep -c $'\r$' "$folder/LEGGIMI.txt")" -eq "$lines" ] ||
    fail "LEGGIMI.txt has lines without CR LF"

# The installer, silently, and back.
installed="$WINEPREFIX/drive_c/Program Files/TreskViewer"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TreskViewer.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TreskViewer'
wine "$dist/TreskViewer-$version-setup.exe" /S </dev/null >/dev/null 2>&1 || fail "the installer failed"
for file in TreskViewer.exe treskdump.exe LEGGIMI.txt; do
    cmp -s "$installed/$file" "$folder/$file" || fail "the installer did not install $file"
done
[ -f "$shortcut" ] || fail "the installer made no Start-menu entry"
wine reg query "$key" </dev/null 2>/dev/null | tr -d '\r' >"$work/entry.txt" || true
for pair in "DisplayName REG_SZ TreskViewer" "DisplayVersion REG_SZ $version" \
    "UninstallString REG_SZ \"C:\\Program Files\\TreskViewer\\Disinstalla.exe\"" \
    "DisplayIcon REG_SZ C:\\Program Files\\TreskViewer\\TreskViewer.exe,0"; do
    tr -s ' ' <"$work/entry.txt" | grep -qF " $pair" || fail "the installed-programs entry lacks $pair"
done
grep -q ' Publisher ' "$work/entry.txt" || fail "the installed-programs entry has no Publisher"
# The uninstaller runs on from a copy of itself in the temporary folder.
wine "$installed/Disinstalla.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
uninstalled() { [ ! -e "$installed" ] && [ ! -e "$shortcut" ]; }
poll 100 uninstalled || true
[ ! -e "$installed" ] || fail "the uninstaller left $installed"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
wine reg query "$key" </dev/null >/dev/null 2>&1 && fail "the uninstaller left the installed-programs entry"

finish "the Windows programs, zip and installer are as they should be"
