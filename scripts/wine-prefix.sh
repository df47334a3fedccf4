#!/usr/bin/env bash
# Makes a Wine prefix for the tests and the run command: booted once, no crash dialog, X11
# windows neither decorated nor managed (without a window manager Wine otherwise waits on every
# destruction), and Wine's own Windows fonts in its Fonts folder: Marlett draws the caption
# buttons' symbols and MS Sans Serif and Tahoma are the dialog fonts a Windows user sees (without
# them Wine falls back to a Linux font and draws the caption buttons as letters). WINEPREFIX and
# WINEARCH say which (scripts/wine-env.sh calls this).
#
# With further arguments it adjusts a copy of such a prefix (scripts/wine-env.sh makes them):
#   wine-prefix.sh LOADER DPI [VARIANT]
# DPI is the logical resolution that programs see (LogPixels: 96 is 100 %, 120 is 125 %, 144 is
# 150 %). VARIANT "desktop" is for a real display with a window manager: there the window manager
# manages the dialogs (moves and stacks them, lists them in its task bar) and draws their frames,
# as for any other program.
set -eu
loader=$1
dpi=${2:-}
variant=${3:-}
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
reg() { "$loader" reg add "$@" /f; }
if [ -n "$dpi" ]; then
  reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
  if [ "$variant" = desktop ]; then
    reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y
    reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d Y
  fi
  /usr/lib/wine/wineserver -w
  exit 0
fi
"$loader" wineboot -i
fonts=/usr/share/wine/fonts
for font in marlett.ttf ms_sans_serif.ttf tahoma.ttf tahomabd.ttf; do
  cp "$fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
/usr/lib/wine/wineserver -w
