#!/usr/bin/env bash
# Makes the Wine prefix the tests use: booted once, no crash dialog, and X11 windows neither
# decorated nor managed (without a window manager Wine otherwise waits on every destruction).
set -eu
loader=$1
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$loader" wineboot -i
reg() { "$loader" reg add "$@" /f; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
"${loader%/*}/wineserver" -w 2>/dev/null || wineserver -w
