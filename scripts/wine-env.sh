# Sourced by the run and test commands: which Windows build runs here under Wine.
# The product is the 32-bit build. Where this machine's kernel cannot execute 32-bit programs
# natively (so 32-bit Wine cannot start, or only under an emulator), the 64-bit build of the same
# sources runs instead.
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  WINE_PRESET=win32
  WINE_LOADER=/usr/lib/wine/wine
else
  WINE_PRESET=win64
  WINE_LOADER=/usr/lib/wine/wine64
fi
export WINE_LOADER
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
