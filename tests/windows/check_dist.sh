#!/usr/bin/env bash
# Checks what scripts/build-windows.sh leaves in DIST_DIR, for the 64-bit
# programs in DIST_DIR and the 32-bit ones in DIST_DIR/win32: each program's
# application manifest, Italian version record and Windows 7 header
# versions, the viewer's icon (16 to 256 px in 32-bit colour, 256 as PNG);
# each zip holds both programs and a read-me with CR LF line ends; the
# installer carries the same icon and a version record, and under Wine
#  - installs silently for the current user only (/S /CurrentUser): programs
#    in the user's folder, entries under HKCU, nothing outside the user's
#    folders, an existing .PRG handler kept; its uninstaller removes it all;
#  - installs silently for every user (/S): Program Files, Start menu,
#    installed-programs entry and file class under HKLM, and a cut list
#    started from the Linux side (wine start) opens in the viewer; its
#    uninstaller removes it all.
# With TRESK_SIGN_CA set to the certificate the build was signed with
# (PEM), every program, the installer and the uninstaller must carry a valid
# signature by it. TRESK_INSTALL_SETUP names another build of the installer
# to install with (its 64-bit build, where Wine runs no 32-bit program).
#
# Usage: check_dist.sh DIST_DIR     (in the Wine prefix WINEPREFIX, on an X
#                                    display: DISPLAY)
set -euo pipefail
dist=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
version=1.0.0.1
setup=$dist/TreskViewer-$version-setup.exe
install_setup=${TRESK_INSTALL_SETUP:-$setup}
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$root/tests/support/checks.sh"

# Prints one line per image of the icon file: width, bits per pixel and
# PNG or BMP (how the image is stored).
icon_images() {
    local ico=$1 count i entry width offset bits kind
    count=$(od -An -tu2 -j4 -N2 "$ico" | tr -d ' ')
    for ((i = 0; i < count; i++)); do
        entry=$((6 + 16 * i))
        width=$(od -An -tu1 -j$entry -N1 "$ico" | tr -d ' ')
        offset=$(od -An -tu4 -j$((entry + 12)) -N4 "$ico" | tr -d ' ')
        if [ "$(od -An -tx1 -j"$offset" -N4 "$ico" | tr -d ' ')" = 89504e47 ]; then
            kind=PNG bits=$(od -An -tu1 -j$((offset + 24)) -N1 "$ico" | tr -d ' ')
            [ "$bits" = 8 ] && [ "$(od -An -tu1 -j$((offset + 25)) -N1 "$ico" | tr -d ' ')" = 6 ] &&
                bits=32  # 8 bits per channel, RGBA
        else
            kind=BMP bits=$(od -An -tu2 -j$((offset + 14)) -N2 "$ico" | tr -d ' ')
        fi
        echo "$((width == 0 ? 256 : width)) $bits $kind"
    done | sort -n | tr '\n' ' '
}
expected_icon="16 32 BMP 24 32 BMP 32 32 BMP 48 32 BMP 256 32 PNG "

# The icon group NAME of EXE has the sizes the program's icon must have.
check_icon() {
    local exe=$1 name=$2
    rm -f "$work/icon.ico"
    wrestool -x -t14 -n"$name" -o "$work/icon.ico" "$exe" 2>/dev/null || true
    if [ ! -s "$work/icon.ico" ]; then
        fail "$(basename "$exe") has no icon group $name"
    elif [ "$(icon_images "$work/icon.ico")" != "$expected_icon" ]; then
        fail "$(basename "$exe")'s icon is $(icon_images "$work/icon.ico"), not $expected_icon"
    fi
}

# The version record of EXE: 1.0.0.1 as numbers (VS_FIXEDFILEINFO after its
# signature and structure version: file version, product version), the
# translation 0x0410, 1252 and the texts given as NAME|VALUE.
#   check_version_record EXE NAME|VALUE...
check_version_record() {
    local exe=$1 name pair hex
    name=$(basename "$exe")
    shift
    rm -f "$work/version.res"
    wrestool -x --raw -t16 "$exe" >"$work/version.res" 2>/dev/null || true
    hex=$(od -An -v -tx1 "$work/version.res" | tr -d ' \n')
    [[ $hex == *bd04effe????????0000010001000000000001000100* ]] ||
        fail "$name: the version record's numbers are not 1.0.0.1"
    [[ $hex == *1004e404 ]] || fail "$name: the version record's translation is not 0x0410, 1252"
    strings -el "$work/version.res" | tr '\n' '|' >"$work/version.txt"
    for pair in "$@"; do
        grep -qF "|$pair|" "$work/version.txt" || fail "$name: the version record lacks \"$pair\""
    done
}

# The application manifest of EXE: run with the caller's rights, Windows 7,
# 8, 8.1 and 10/11 known, long paths, never a process code page; then the
# lines given (the viewer's visual styles and DPI awareness).
#   check_manifest EXE [LINE...]
check_manifest() {
    local exe=$1 name line
    name=$(basename "$exe")
    shift
    wrestool -x --raw -t24 -n1 "$exe" 2>/dev/null | tr -d '\r' >"$work/manifest.xml" || true
    if ! grep -q '<assembly' "$work/manifest.xml"; then
        fail "$name has no application manifest"
        return
    fi
    for line in '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
        '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>' \
        '<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>' \
        '<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>' \
        '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
        '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>' \
        "$@"; do
        grep -qF "$line" "$work/manifest.xml" || fail "$name's manifest lacks $line"
    done
    ! grep -qi '<activeCodePage' "$work/manifest.xml" || fail "$name's manifest sets a process code page"
}

# EXE is a FORMAT (pei-x86-64, pei-i386) program for Windows 7 SP1 (6.1) as
# its header's OS and subsystem version.
check_header() {
    local exe=$1 format=$2 field
    objdump -p "$exe" | tr -s ' \t' ' ' >"$work/header.txt"
    grep -q "file format $format\$" "$work/header.txt" || fail "$exe is not $format"
    for field in "MajorOSystemVersion 6" "MinorOSystemVersion 1" \
        "MajorSubsystemVersion 6" "MinorSubsystemVersion 1"; do
        grep -qx "$field" "$work/header.txt" || fail "$exe's header lacks $field"
    done
}

# The programs of one build: DIR, objdump's FORMAT.
check_programs() {
    local dir=$1 format=$2
    check_version_record "$dir/TreskViewer.exe" "041004E4" "FileVersion|1, 0, 0, 1" \
        "ProductName|TreskViewer Applicazione" "ProductVersion|1, 0, 0, 1" \
        "FileDescription|TreskViewer Applicazione MFC" "InternalName|TreskViewer" \
        "OriginalFilename|TreskViewer.EXE"
    check_manifest "$dir/TreskViewer.exe" \
        'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
        '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2</dpiAwareness>' \
        '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>'
    check_icon "$dir/TreskViewer.exe" 128
    check_version_record "$dir/treskdump.exe" "041004E4" "FileVersion|1, 0, 0, 1" \
        "ProductName|TreskViewer Applicazione" \
        "FileDescription|TreskViewer convertitore liste di taglio" "InternalName|treskdump" \
        "OriginalFilename|treskdump.exe"
    check_manifest "$dir/treskdump.exe"
    check_header "$dir/TreskViewer.exe" "$format"
    check_header "$dir/treskdump.exe" "$format"
}
check_programs "$dist" pei-x86-64
check_programs "$dist/win32" pei-i386

# Each zip: a folder with both programs, the very files of dist/, and the
# read-me with CR LF line ends.
check_zip() {
    local zip=$1 dir=$2 folder program lines
    rm -rf "$work/zip" && mkdir "$work/zip"
    (cd "$work/zip" && cmake -E tar xf "$zip")
    folder=$work/zip/TreskViewer-$version
    [ "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" = \
      "./TreskViewer-$version/LEGGIMI.txt ./TreskViewer-$version/TreskViewer.exe ./TreskViewer-$version/treskdump.exe " ] ||
        fail "$(basename "$zip") does not hold exactly the programs and LEGGIMI.txt"
    for program in TreskViewer.exe treskdump.exe; do
        cmp -s "$folder/$program" "$dir/$program" || fail "$(basename "$zip")'s $program is not $dir's"
    done
    lines=$(wc -l <"$folder/LEGGIMI.txt")
    [ "$lines" -gt 10 ] && [ "$(grep -c $'\r$' "$folder/LEGGIMI.txt")" -eq "$lines" ] ||
        fail "LEGGIMI.txt has lines without CR LF"
}
check_zip "$dist/TreskViewer-$version-win64.zip" "$dist"
check_zip "$dist/TreskViewer-$version-win32.zip" "$dist/win32"

# The installer: the program's icon (NSIS numbers its group 103) and its
# version record.
check_icon "$setup" 103
check_version_record "$setup" "FileDescription|Installazione di TreskViewer" \
    "ProductVersion|$version"

# A valid signature by the test certificate.
check_signature() {
    [ -n "${TRESK_SIGN_CA:-}" ] || return 0
    osslsigncode verify -CAfile "$TRESK_SIGN_CA" -in "$1" >"$work/verify.txt" 2>&1 ||
        fail "$1 carries no valid signature: $(tail -n 3 "$work/verify.txt")"
}
for file in "$setup" "$dist"/TreskViewer.exe "$dist"/treskdump.exe \
    "$dist"/win32/TreskViewer.exe "$dist"/win32/treskdump.exe; do
    check_signature "$file"
done

# The registry value NAME ("" for the key's default) of KEY, or status 1.
reg_value() {
    local out
    if [ -z "$2" ]; then
        out=$(wine reg query "$1" /ve </dev/null 2>/dev/null) || return 1
    else
        out=$(wine reg query "$1" /v "$2" </dev/null 2>/dev/null) || return 1
    fi
    printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^ *[^ ].*  *REG_[A-Z_]* *//p' | head -n 1
}
reg_key_exists() {
    wine reg query "$1" </dev/null >/dev/null 2>&1
}
# Windows path to Linux path.
unix_path() {
    winepath -u "$1" 2>/dev/null | tr -d '\r'
}

# The file class and the installed-programs entry under ROOT (HKCU, HKLM)
# for programs installed in WINDOWS_DIR.
check_entries() {
    local root=$1 dir=$2 classes=$1\\Software\\Classes
    local entry=$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TreskViewer
    [ "$(reg_value "$classes\\TreskViewer.ListaDiTaglio" "")" = "Lista di taglio TRESK" ] ||
        fail "$root: no file class TreskViewer.ListaDiTaglio"
    [ "$(reg_value "$classes\\TreskViewer.ListaDiTaglio\\shell\\open\\command" "")" = \
      "\"$dir\\TreskViewer.exe\" \"%1\"" ] || fail "$root: the class's open command is wrong"
    [ "$(reg_value "$classes\\TreskViewer.ListaDiTaglio\\DefaultIcon" "")" = \
      "\"$dir\\TreskViewer.exe\",0" ] || fail "$root: the class has not the program's icon"
    reg_value "$classes\\.PRG\\OpenWithProgids" TreskViewer.ListaDiTaglio >/dev/null ||
        fail "$root: .PRG does not offer the class"
    [ "$(reg_value "$entry" DisplayName)" = TreskViewer ] || fail "$root: no installed-programs entry"
    [ "$(reg_value "$entry" DisplayVersion)" = "$version" ] || fail "$root: DisplayVersion is wrong"
    [ "$(reg_value "$entry" DisplayIcon)" = "$dir\\TreskViewer.exe,0" ] || fail "$root: DisplayIcon is wrong"
    reg_value "$entry" Publisher >/dev/null || fail "$root: the entry has no Publisher"
    # The programs and the read-me take some 2 to 3 MB.
    size=$(reg_value "$entry" EstimatedSize || echo 0)
    [ $((size)) -gt 500 ] || fail "$root: EstimatedSize is $size"
}
# Nothing of the installation is left under ROOT.
check_no_entries() {
    local root=$1
    ! reg_key_exists "$root\\Software\\Classes\\TreskViewer.ListaDiTaglio" ||
        fail "$root: the file class is left"
    ! reg_key_exists "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TreskViewer" ||
        fail "$root: the installed-programs entry is left"
}
# Runs the uninstaller UNINSTALLER silently and waits until DIR is gone (it
# runs on from a copy of itself in the temporary folder).
uninstall() {
    wine "$1" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
    poll 100 test ! -e "$2" || fail "the uninstaller left $2"
}

# For the current user only, where another program already handles .PRG
# (under Wine, only the machine's classes make up HKCR).
wine reg add 'HKLM\Software\Classes\.PRG' /ve /d Altro.Programma /f </dev/null >/dev/null 2>&1
local_app_data=$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')
user_dir=$(realpath "$(unix_path "$(wine cmd /c 'echo %USERPROFILE%' </dev/null 2>/dev/null | tr -d '\r')")")
windows_dir="$local_app_data\\Programs\\TreskViewer"
installed=$(unix_path "$windows_dir")
touch "$work/before"
sleep 1
wine "$install_setup" /S /CurrentUser </dev/null >/dev/null 2>&1 || fail "the installer failed for the current user"
for file in TreskViewer.exe treskdump.exe LEGGIMI.txt Disinstalla.exe; do
    [ -f "$installed/$file" ] || fail "the installer for the current user did not install $file"
done
cmp -s "$installed/TreskViewer.exe" "$dist/TreskViewer.exe" || fail "the installed viewer is not the 64-bit one"
[ -f "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/TreskViewer.lnk" ] ||
    fail "no Start-menu entry for the current user"
check_entries HKCU "$windows_dir"
[ "$(reg_value 'HKCU\Software\Classes\.PRG' "" || true)" != TreskViewer.ListaDiTaglio ] ||
    fail "the installer took over .PRG from its handler"
check_no_entries HKLM
outside=$(find "$(realpath "$WINEPREFIX/drive_c")" -path "$user_dir" -prune -o -newer "$work/before" -type f -print)
[ -z "$outside" ] || fail "the installation for the current user wrote outside the user's folders: $outside"
uninstall "$installed/Disinstalla.exe" "$installed"
check_no_entries HKCU
! reg_key_exists 'HKCU\Software\Classes\.PRG' || fail "the uninstaller left HKCU's .PRG"
[ "$(reg_value 'HKLM\Software\Classes\.PRG' "")" = Altro.Programma ] ||
    fail "the uninstaller changed the handler of .PRG"
wine reg delete 'HKLM\Software\Classes\.PRG' /f </dev/null >/dev/null 2>&1

# For every user, as /S alone does: the programs, the Start-menu entry, the
# entries under HKLM, .PRG opened by the viewer.
windows_dir='C:\Program Files\TreskViewer'
installed="$WINEPREFIX/drive_c/Program Files/TreskViewer"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TreskViewer.lnk"
wine "$install_setup" /S </dev/null >/dev/null 2>&1 || fail "the installer failed"
for file in TreskViewer.exe treskdump.exe; do
    cmp -s "$installed/$file" "$dist/$file" || fail "the installer did not install the 64-bit $file"
done
[ -f "$installed/LEGGIMI.txt" ] || fail "the installer did not install LEGGIMI.txt"
[ -f "$shortcut" ] || fail "the installer made no Start-menu entry"
check_entries HKLM "$windows_dir"
[ "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TreskViewer' UninstallString)" = \
  "\"$windows_dir\\Disinstalla.exe\"" ] || fail "the UninstallString is wrong"
[ "$(reg_value 'HKLM\Software\Classes\.PRG' "")" = TreskViewer.ListaDiTaglio ] ||
    fail ".PRG without a handler did not get the viewer"
check_signature "$installed/Disinstalla.exe"

# A cut list opened as Explorer opens it: the viewer starts with the list's
# path as its argument and shows its window, with no message box.
list="$work/lista di prova.PRG"
cp "$root/examples/lista_nuova.PRG" "$list"
wine start /unix "$list" </dev/null >/dev/null 2>&1 || fail "wine start failed"
viewer_window() {
    xdotool search --onlyvisible --name '^TreskViewer$' >/dev/null 2>&1
}
if poll 300 viewer_window; then
    pid=$(pgrep -n -f 'TreskViewer\.exe' || true)
    args=$(tr '\0' ' ' <"/proc/${pid:-0}/cmdline" 2>/dev/null || true)
    [[ $args == *"TreskViewer.exe"*"Z:${list//\//\\}"* ]] ||
        fail "the viewer did not get the cut list: $args"
    sleep 1
    [ "$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)" -eq 1 ] ||
        fail "a message box came with the viewer"
    window=$(xdotool search --onlyvisible --name '^TreskViewer$' | head -n 1)
    xdotool windowfocus --sync "$window" key --window "$window" Escape 2>/dev/null || true
    [ -z "$pid" ] || poll 100 process_ended "$pid" || fail "the viewer did not end on Escape"
else
    fail "wine start did not open the viewer"
fi

uninstall "$installed/Disinstalla.exe" "$installed"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
check_no_entries HKLM
! reg_key_exists 'HKLM\Software\Classes\.PRG' || fail "the uninstaller left .PRG"

finish "the Windows programs, zips and installer are as they should be"
