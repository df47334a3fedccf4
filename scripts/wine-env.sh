# Sourced by the run and test commands and the Wine helpers: the one place that says how Wine
# runs here. Quiet, no Mono or Gecko prompts, and one prefix per architecture for the whole
# machine, made once (scripts/wine-prefix.sh) and reused by every later run and every clone.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
WINE_PREFIX_ROOT=${WINE_PREFIX_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/resizing-wine}

# One prefix serves both builds: a 64-bit prefix, in which 32-bit programs run as they do on
# 64-bit Windows (WoW64). Its system processes (services, explorer, device drivers) are 64-bit,
# so they run at full speed also where the 32-bit programs run under an emulator. Its name
# carries Wine's version and a digest of the script that makes it, so that a changed set-up
# makes a new prefix instead of using a stale one. With a resolution in dots per inch other than
# 96, the name is that of a copy of the prefix whose programs see that resolution.
wine_prefix_path() {
  local digest version dpi=${1:-96}
  digest=$(sha1sum "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" | cut -c1-10)
  version=$("$WINE64_LOADER" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' _)
  echo "$WINE_PREFIX_ROOT/prefix-$version-$digest$([ "$dpi" = 96 ] || echo "-dpi$dpi")"
}

# The prefix (for a resolution, as above), made first if this machine has none yet. Concurrent
# runs wait for each other; a prefix whose making was cut short is made again. Its 32-bit half
# is set up by 32-bit programs, so where the kernel cannot run them the emulator must be
# registered first. A prefix for another resolution is a copy of the 96 dpi one, made in
# seconds where booting a new one under an emulator takes minutes.
wine_prefix_ready() {
  local prefix base dpi=${1:-96} script
  script="$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
  prefix=$(wine_prefix_path "$dpi")
  if [ "$dpi" != 96 ]; then base=$(wine_prefix_ready) || return 1; fi
  mkdir -p "$WINE_PREFIX_ROOT"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      rm -rf "$prefix"
      echo "making the Wine prefix $prefix" >&2
      if [ "$dpi" = 96 ]; then
        WINEPREFIX=$prefix WINEARCH=win64 bash "$script" "$WINE64_LOADER" >/dev/null 2>&1 &&
          touch "$prefix/.ready"
      else
        cp -a "$base" "$prefix" && rm -f "$prefix/.ready" &&
          WINEPREFIX=$prefix bash "$script" "$WINE64_LOADER" "$dpi" >/dev/null 2>&1 &&
          touch "$prefix/.ready"
      fi
    fi
  ) 9>"$WINE_PREFIX_ROOT/.lock"
  [ -f "$prefix/.ready" ] || { echo "error: could not make the Wine prefix $prefix" >&2; return 1; }
  echo "$prefix"
}
