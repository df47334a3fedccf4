#!/usr/bin/env bash
# Runs a Windows program under Wine with the settings of scripts/wine-env.sh: the loader of the
# program's architecture (WINE_LOADER may name it) and this machine's prefix for it (WINEPREFIX
# may name another), made on first use. The end-to-end test starts its programs with it. The
# process becomes the program's, so its pid is the program's.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
exe=$1; shift
case "$(objdump -f "$exe" | sed -n 's/.*file format //p')" in
  pei-i386) loader=$WINE32_LOADER ;;
  *) loader=$WINE64_LOADER ;;
esac
export WINEPREFIX=${WINEPREFIX:-$(wine_prefix_ready)}
exec "${WINE_LOADER:-$loader}" "$exe" "$@"
