#!/usr/bin/env bash
# Prepares the Wine prefix the Windows programs and tests run in
# (WINEPREFIX, default ~/.wine-treskviewer), headless, and starts a
# wineserver that stays 30 s after its last client.
# Traps met on the way:
#  - wineboot -i without Mono and Gecko (their installers would want a
#    display and a download);
#  - without a window manager Wine waits about 2 s whenever a window hides,
#    unless its windows are not "managed";
#  - without Wine's own fonts in the prefix "MS Sans Serif" falls back to
#    another font;
#  - each Wine start without a running wineserver and its helper processes
#    costs about 2.6 s, and CTest starts one per test.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export WINEDEBUG=${WINEDEBUG:--all}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
fi
# Also for a prefix made before these settings were part of it.
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  wineserver -w
fi
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# A server still running from an earlier command would refuse the option.
wineserver -w
wineserver -p30
wine cmd /c exit </dev/null >/dev/null 2>&1
