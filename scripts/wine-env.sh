# Sourced by the run and test commands and the Wine helpers: the one place that says how Wine
# runs here. Quiet, no Mono or Gecko prompts, and one prefix per architecture for the whole
# machine, made once (scripts/wine-prefix.sh) and reused by every later run and every clone.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
WINE_PREFIX_ROOT=${WINE_PREFIX_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/resizing-wine}

# The prefix for win32 or win64. Its name carries Wine's version and a digest of the script
# that makes it, so that a changed set-up makes a new prefix instead of using a stale one.
wine_prefix_path() {
  local digest version
  digest=$(sha1sum "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" | cut -c1-10)
  version=$("$WINE64_LOADER" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' _)
  echo "$WINE_PREFIX_ROOT/$1-$version-$digest"
}

# The prefix for win32 or win64, made first if this machine has none yet. Concurrent runs wait
# for each other; a prefix whose making was cut short is made again.
wine_prefix_ready() {
  local arch=$1 prefix loader=$WINE64_LOADER
  prefix=$(wine_prefix_path "$arch")
  [ "$arch" = win32 ] && loader=$WINE32_LOADER
  mkdir -p "$WINE_PREFIX_ROOT"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      rm -rf "$prefix"
      echo "making the $arch Wine prefix $prefix" >&2
      WINEPREFIX=$prefix WINEARCH=$arch bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$loader" >/dev/null 2>&1 \
        && touch "$prefix/.ready"
    fi
  ) 9>"$WINE_PREFIX_ROOT/.lock"
  [ -f "$prefix/.ready" ] || { echo "error: could not make the $arch Wine prefix $prefix" >&2; return 1; }
  echo "$prefix"
}
