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
# makes a new prefix instead of using a stale one.
#
# Variants of it are copies with other settings (scripts/wine-prefix.sh), each its own Wine
# server, so that what runs in one never sees the windows of another:
#   wine_prefix_path [DPI [VARIANT]]
#   DPI      the resolution in dots per inch that programs see (96 unless given)
#   VARIANT  "run": the run command's own, with the tests' settings, so that a program looked
#            at while the tests run shares nothing with them; "desktop": the run command's on a
#            real display, where the window manager manages and frames the dialogs.
wine_prefix_path() {
  local digest version dpi=${1:-96} variant=${2:-}
  digest=$(sha1sum "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" | cut -c1-10)
  version=$("$WINE64_LOADER" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' _)
  echo "$WINE_PREFIX_ROOT/prefix-$version-$digest$([ "$dpi" = 96 ] || echo "-dpi$dpi")${variant:+-$variant}"
}

# A copy of a prefix: the folders of Wine's own DLLs (nearly all of its 1.3 GB, never written
# while programs run) as hard links, everything else copied.
wine_prefix_copy() {
  local from=$1 to=$2 shared=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
  local dir
  mkdir -p "$to/drive_c/windows" || return 1
  for dir in "${shared[@]}"; do cp -al "$from/$dir" "$to/$dir" || return 1; done
  (cd "$from" && tar cf - --exclude=./.ready "${shared[@]/#/--exclude=./}" .) | (cd "$to" && tar xf -)
}

# The prefix (for a resolution and a variant, as above), made first if this machine has none
# yet. Concurrent runs wait for each other; a prefix whose making was cut short is made again.
# Its 32-bit half is set up by 32-bit programs, so where the kernel cannot run them the emulator
# must be registered first. A variant is a copy of the 96 dpi prefix, made in a few seconds
# where booting a new one takes a minute or more.
wine_prefix_ready() {
  local prefix base= dpi=${1:-96} variant=${2:-} script
  script="$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
  prefix=$(wine_prefix_path "$dpi" "$variant")
  if [ "$dpi" != 96 ] || [ -n "$variant" ]; then base=$(wine_prefix_ready) || return 1; fi
  mkdir -p "$WINE_PREFIX_ROOT"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      rm -rf "$prefix"
      echo "making the Wine prefix $prefix" >&2
      if [ -z "$base" ]; then
        WINEPREFIX=$prefix WINEARCH=win64 bash "$script" "$WINE64_LOADER" >/dev/null 2>&1 &&
          touch "$prefix/.ready"
      else
        wine_prefix_copy "$base" "$prefix" &&
          WINEPREFIX=$prefix bash "$script" "$WINE64_LOADER" "$dpi" "$variant" >/dev/null 2>&1 &&
          touch "$prefix/.ready"
      fi
    fi
  ) 9>"$WINE_PREFIX_ROOT/.lock"
  [ -f "$prefix/.ready" ] || { echo "error: could not make the Wine prefix $prefix" >&2; return 1; }
  echo "$prefix"
}

# Holds the prefix for this command until it ends (its processes included): a second test
# command on the machine waits here instead of running its programs among this one's.
wine_prefix_hold() {
  mkdir -p "$(dirname "$1")"
  exec 7>"$1.in-use"
  if ! flock -n 7; then
    echo "waiting for $1: another command is running its tests in it"
    flock 7
  fi
  export WINE_PREFIX_HELD=$1
}

# Keeps the Wine server of prefix $1 running, with its desktop, until wine_server_end or 300 s
# without programs: each program then starts in a tenth of a second instead of waiting for a
# server and its system processes to boot, and no program meets a server that is shutting down
# (one that connects while the last one's server exits finds no desktop and cannot make a
# window). A server already running is ended first, so that the one kept has these settings.
# Nothing started here holds the caller's output open (CTest waits for that before it ends a
# test), nor the test command's hold on the prefix (descriptor 7), which would keep a second test
# command waiting for the server's 300 s when the first one was killed.
# CTest run on its own, while a test command holds the prefix, stops here rather than end the
# server under that command's programs.
wine_server_keep() {
  if ! wine_prefix_free "$1"; then
    echo "error: another command is running its tests in $1; wait for it to end" >&2
    return 1
  fi
  wine_server_end "$1"
  WINEPREFIX=$1 "$WINESERVER" -p300 </dev/null >/dev/null 2>&1 7>&- || return 1
  # The desktop belongs to a system process that the first program to ask for it starts.
  WINEPREFIX=$1 "$WINE64_LOADER" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 7>&-
  return 0
}

# Whether prefix $1 is this command's to use: held by it (wine_prefix_hold) or by no command.
wine_prefix_free() {
  [ "${WINE_PREFIX_HELD:-}" = "$1" ] || flock -n "$1.in-use" true
}

# Ends the Wine server of prefix $1, unless another command holds the prefix, and waits until
# it is gone.
wine_server_end() {
  wine_prefix_free "$1" || return 0
  WINEPREFIX=$1 "$WINESERVER" -k </dev/null >/dev/null 2>&1
  WINEPREFIX=$1 "$WINESERVER" -w </dev/null >/dev/null 2>&1
  return 0
}
