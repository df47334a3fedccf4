#!/usr/bin/env bash
# Runs a Windows program of the test build under Wine with the quiet, fast settings the tests use.
# The prefix lives in the build folder (WINEPREFIX may point elsewhere); it is made on first use.
set -u
here=$(cd "$(dirname "$0")" && pwd)
exe=$1; shift
build=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
loader=${WINE_LOADER:-$(sed -n 's/^WINE_PROGRAM:STRING=//p' "$build/CMakeCache.txt")}
[ -d "$WINEPREFIX" ] || bash "$here/wine-prefix.sh" "$loader" >/dev/null 2>&1
exec "$loader" "$exe" "$@"
