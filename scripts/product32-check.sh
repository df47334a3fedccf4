#!/usr/bin/env bash
# Opt-in, slow (about ten minutes): runs the 32-bit product on a machine whose kernel cannot
# execute 32-bit programs, by letting qemu's user-mode i386 emulator run 32-bit Wine. It registers
# the emulator with the kernel's binfmt_misc for the duration of the check (as root) and removes
# it afterwards. The 32-bit probe then checks the dialog, its layout and report over resizes, and
# the close request must end resizing.exe with exit code 0.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
command -v qemu-i386-static >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends qemu-user-static
cmake --preset win32 -DWINE_TESTS=OFF >/dev/null
cmake --build --preset win32 --target resizing probe
entry=/proc/sys/fs/binfmt_misc/qemu-i386
registered=0
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    > /proc/sys/fs/binfmt_misc/register
  registered=1
fi
cleanup() {
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -w 2>/dev/null || true
  if [ $registered = 1 ]; then
    for _ in 1 2 3 4 5; do [ -e $entry ] && echo -1 > $entry 2>/dev/null; [ -e $entry ] || break; sleep 1; done
    [ -e $entry ] && echo "warning: could not remove $entry; remove it with: echo -1 > $entry"
  fi
  return 0
}
prefix=$PWD/build/win32/wineprefix32
trap cleanup EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$prefix" ] || bash scripts/wine-prefix.sh /usr/lib/wine/wine >/dev/null 2>&1
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  /usr/lib/wine/wine build/win32/resizing.exe & app=$!
  for i in $(seq 1 600); do xwininfo -root -tree 2>/dev/null | grep -q "\"Resizing\"" && break; sleep 0.5; done
  /usr/lib/wine/wine build/win32/probe.exe check | grep -v ^BACKGROUND; check=${PIPESTATUS[0]}
  /usr/lib/wine/wine build/win32/probe.exe close
  wait $app; code=$?
  echo "32-bit resizing.exe: probe check exit $check, program exit code $code"
  [ $check = 0 ] && [ $code = 0 ]'
