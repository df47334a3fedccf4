#!/usr/bin/env bash
# Makes a Wine prefix for the tests and the run command: booted once, no crash dialog, and X11
# windows neither decorated nor managed (without a window manager Wine otherwise waits on every
# destruction). WINEPREFIX and WINEARCH say which (scripts/wine-env.sh calls this).
set -eu
loader=$1
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
"$loader" wineboot -i
reg() { "$loader" reg add "$@" /f; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
/usr/lib/wine/wineserver -w
