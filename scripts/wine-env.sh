# Sourced by the run and test commands, the test kit and the Wine helpers: the one place that says
# where Wine is and how it runs here. Quiet, no Mono or Gecko prompts, and one prefix for the whole
# machine, made once (scripts/wine-prefix.sh) and reused by every later run and every clone.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
WINE_FONTS=/usr/share/wine/fonts
WINE_PREFIX_ROOT=${WINE_PREFIX_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/resizing-wine}

# One prefix serves both builds: a 64-bit prefix, in which 32-bit programs run as they do on
# 64-bit Windows (WoW64). Its system processes (services, explorer, device drivers) are 64-bit,
# so they run at full speed also where the 32-bit programs run under an emulator. Its name
# carries Wine's version and a digest of the script that makes it, so that a changed set-up
# makes a new prefix instead of using a stale one.
#
# Variants of it are copies with other settings, each its own Wine server, so that what runs in
# one never sees the windows of another:
#   wine_prefix_path [DPI [VARIANT]]
#   DPI      the resolution in dots per inch that programs see (96 unless given)
#   VARIANT  "run": with the tests' settings, for programs run apart from the tests (the soak,
#            benchmarks); "kit": the test kit's, which the run command uses too; "desktop": the
#            run command's on a real display, where the window manager manages and frames the
#            dialogs.
wine_prefix_path() {
  local digest version dpi=${1:-96} variant=${2:-}
  digest=$(sha1sum "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" | cut -c1-10)
  version=$("$WINE64_LOADER" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' _)
  echo "$WINE_PREFIX_ROOT/prefix-$version-$digest$([ "$dpi" = 96 ] || echo "-dpi$dpi")${variant:+-$variant}"
}

# The prefix (for a resolution and a variant, as above), made first if this machine has none
# yet; a variant is a copy of the 96 dpi prefix. Concurrent runs wait for each other; a prefix
# whose making was cut short is made again. Its 32-bit half is set up by 32-bit programs, so
# where the kernel cannot run them the emulator must be registered first.
wine_prefix_ready() {
  local prefix base= dpi=${1:-96} variant=${2:-}
  prefix=$(wine_prefix_path "$dpi" "$variant")
  if [ "$dpi" != 96 ] || [ -n "$variant" ]; then base=$(wine_prefix_ready) || return 1; fi
  mkdir -p "$WINE_PREFIX_ROOT"
  [ -f "$prefix/.ready" ] ||
    flock "$WINE_PREFIX_ROOT/.lock" bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$prefix" "$dpi" "$variant" "$base"
  [ -f "$prefix/.ready" ] || { echo "error: could not make the Wine prefix $prefix" >&2; return 1; }
  echo "$prefix"
}

# Runs COMMAND holding prefix $1: a second test command or test kit session on the machine waits
# (up to an hour) instead of running its programs among this one's. The lock is flock's own (-o:
# nothing COMMAND starts holds it), so it ends with COMMAND, whatever COMMAND leaves running (a
# kept Wine server, say). COMMAND sees WINE_PREFIX_HELD set to the prefix.
#   wine_prefix_hold PREFIX COMMAND...
wine_prefix_hold() {
  local prefix=$1 status
  shift
  mkdir -p "$(dirname "$prefix")"
  wine_prefix_free "$prefix" || echo "waiting for $prefix: another command is running its tests in it" >&2
  WINE_PREFIX_HELD=$prefix flock -o -w 3600 -E 75 "$prefix.in-use" "$@"
  status=$?
  [ $status != 75 ] || echo "gave up waiting for $prefix after an hour" >&2
  return $status
}

# Whether prefix $1 is this command's to use: held by it (wine_prefix_hold) or by no command.
wine_prefix_free() {
  [ "${WINE_PREFIX_HELD:-}" = "$1" ] || flock -n "$1.in-use" true
}

# Keeps the Wine server of prefix $1 running, with its desktop, until wine_server_end or 300 s
# without programs: each program then starts in a tenth of a second instead of waiting for a
# server and its system processes to boot, and no program meets a server that is shutting down
# (one that connects while the last one's server exits finds no desktop and cannot make a
# window). A server already running is ended first, so that the one kept has these settings.
# Nothing started here holds the caller's output open (CTest waits for that before it ends a
# test). CTest run on its own, while a test command holds the prefix, stops here rather than end
# the server under that command's programs.
wine_server_keep() {
  if ! wine_prefix_free "$1"; then
    echo "error: another command is running its tests in $1; wait for it to end" >&2
    return 1
  fi
  wine_server_end "$1"
  WINEPREFIX=$1 "$WINESERVER" -p300 </dev/null >/dev/null 2>&1 || return 1
  # The desktop belongs to a system process that the first program to ask for it starts.
  WINEPREFIX=$1 "$WINE64_LOADER" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
  return 0
}

# Ends the Wine server of prefix $1, unless another command holds the prefix, and waits until
# it is gone.
wine_server_end() {
  wine_prefix_free "$1" || return 0
  WINEPREFIX=$1 "$WINESERVER" -k </dev/null >/dev/null 2>&1
  WINEPREFIX=$1 "$WINESERVER" -w </dev/null >/dev/null 2>&1
  return 0
}
