#!/usr/bin/env bash
# Installs every Debian package the builds and tests need. Idempotent: when everything is
# already there it changes nothing and returns at once. Extra packages may be named as
# arguments (the 32-bit emulation asks for qemu-user-static this way).
#
# A package mirror can be caught in the middle of an update (one index of the wrong size, say):
# the index update and the install are each tried a few times, a failed update is not fatal as
# long as the packages still install, and when they do not the last line names the ones missing.
set -uo pipefail

packages=(
  cmake g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xauth openbox xdotool imagemagick x11-utils
  googletest libgtest-dev libbenchmark-dev libgmp-dev
  "$@"
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing_packages() {
  local p
  for p in "${packages[@]}"; do installed "$p" || echo "$p"; done
}

mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt=($SUDO apt-get -q -o Acquire::Retries=3)

for attempt in 1 2 3; do
  # An index that fails to download leaves apt with the others (or the old ones): go on to the
  # install, which tells whether what is there is enough.
  "${apt[@]}" update || echo "setup: package index update failed (attempt $attempt)" >&2
  "${apt[@]}" install -y --no-install-recommends "${missing[@]}" && break
  echo "setup: install failed (attempt $attempt)" >&2
  sleep $((attempt * 5))
done

mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -ne 0 ]; then
  echo "setup: could not install: ${missing[*]}" >&2
  exit 1
fi
exit 0
