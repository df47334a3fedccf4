#!/usr/bin/env bash
# Makes a Wine prefix for the tests, the run command and the test kit (wine_prefix_ready of
# scripts/wine-env.sh runs it, holding the lock of the prefixes' folder).
#   wine-prefix.sh PREFIX DPI VARIANT [BASE]
# Without BASE: booted once, no crash dialog, X11 windows neither decorated nor managed (without
# a window manager Wine otherwise waits about 2 s on every destruction), and Wine's own Windows
# fonts in its Fonts folder: Marlett draws the caption buttons' symbols and MS Sans Serif and
# Tahoma are the dialog fonts a Windows user sees (without them Wine falls back to a Linux font
# and draws the caption buttons as letters).
# With BASE: a copy of that prefix whose folders of Wine's own DLLs (nearly all of its 1.3 GB,
# never written while programs run) are hard links, with the logical resolution DPI (LogPixels:
# 96 is 100 %, 120 is 125 %, 144 is 150 %); VARIANT "desktop" is for a real display with a window
# manager, which then manages the dialogs (moves and stacks them, lists them in its task bar) and
# draws their frames, as for any other program.
set -eu
source "$(dirname "$0")/wine-env.sh"
prefix=$1 dpi=$2 variant=$3 base=${4:-}
[ -f "$prefix/.ready" ] && exit 0  # made while this one waited for the lock
rm -rf "$prefix"
echo "making the Wine prefix $prefix" >&2
exec >/dev/null 2>&1
export WINEPREFIX=$prefix
reg() { "$WINE64_LOADER" reg add "$@" /f; }
if [ -z "$base" ]; then
  WINEARCH=win64 "$WINE64_LOADER" wineboot -i
  for font in marlett.ttf ms_sans_serif.ttf tahoma.ttf tahomabd.ttf; do
    cp "$WINE_FONTS/$font" "$prefix/drive_c/windows/Fonts/"
  done
  reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
else
  shared=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
  mkdir -p "$prefix/drive_c/windows"
  for dir in "${shared[@]}"; do cp -al "$base/$dir" "$prefix/$dir"; done
  (cd "$base" && tar cf - --exclude=./.ready "${shared[@]/#/--exclude=./}" .) | (cd "$prefix" && tar xf -)
  reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
  if [ "$variant" = desktop ]; then
    reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y
    reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d Y
  fi
fi
"$WINESERVER" -w
touch "$prefix/.ready"
