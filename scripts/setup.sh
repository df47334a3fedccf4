#!/usr/bin/env bash
# Installs every Debian package the builds and tests need; this list is the only one. Idempotent:
# when everything is already there it changes nothing and returns at once.
#
#   bash scripts/setup.sh              what the builds, the run command and the tests need
#   bash scripts/setup.sh --emulator   the same and qemu's i386 user-mode emulator, for machines
#                                      whose kernel runs no 32-bit programs
#
# The emulator is qemu-user from the release's backports (the suite is added to apt's sources if
# it is not there; apt takes from it only what is asked for by name); when backports cannot be
# had, the release's own qemu-user-static, which runs 32-bit Wine too, only slowly.
#
# 32-bit Wine needs each of its i386 libraries at the same version as the amd64 one beside it.
# When the mirror cannot serve the i386 index of the security suite, the plain install cannot be
# resolved; it is then tried once more with the release's own versions (apt's target release).
set -uo pipefail

packages=(
  cmake g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xauth imagemagick x11-utils
  googletest libgtest-dev libbenchmark-dev libgmp-dev libfast-float-dev
)
emulator=0
[ "${1:-}" = --emulator ] && emulator=1

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing_packages() {
  local p
  for p in "${packages[@]}"; do installed "$p" || echo "$p"; done
}

# An emulator of version 8 or later, from qemu-user (the release's qemu-user is 7.2).
new_emulator_installed() {
  dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null)" ge 1:8 2>/dev/null
}

mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && { [ $emulator = 0 ] || new_emulator_installed; } && exit 0
wanted=("${missing[@]}")
[ $emulator = 1 ] && ! new_emulator_installed && wanted+=("the emulator")
echo "setup: installing ${wanted[*]}"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt=($SUDO apt-get -q -o Acquire::Retries=3)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# An index that fails to download leaves apt with the others: go on to the install, which tells
# whether what is there is enough.
"${apt[@]}" update >"$log" 2>&1 || true
update_errors=$(grep -E '^(E|Err):' "$log")
[ -n "$update_errors" ] && echo "setup: the package index update reported: $(grep -m1 '^E:' "$log")" >&2

install_missing() { "${apt[@]}" install -y --no-install-recommends "$@" "${missing[@]}" >"$log" 2>&1; }

# The emulator from the release's backports, the suite added to apt's sources if need be (with
# the address of the release's own archive). Falls back to the release's own emulator.
install_emulator() {
  local release backports uri
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  backports=$release-backports
  if ! apt-cache policy 2>/dev/null | grep -q " $backports/"; then
    uri=$(grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | grep -v security | head -n 1 | awk '{print $2}')
    uri=${uri:-http://deb.debian.org/debian}
    echo "setup: adding $backports ($uri) to apt's sources for the emulator"
    printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$uri" "$backports" | $SUDO tee /etc/apt/sources.list.d/$backports.sources >/dev/null
    "${apt[@]}" update >"$log" 2>&1 || true
  fi
  if "${apt[@]}" install -y --no-install-recommends -t "$backports" qemu-user >"$log" 2>&1; then
    echo "setup: installed the emulator qemu-user $(dpkg-query -W -f='${Version}' qemu-user) from $backports"
  else
    echo "setup: qemu-user could not be had from $backports ($(grep -m1 '^E:' "$log")): installing the release's qemu-user-static, with which every 32-bit process start takes most of a minute" >&2
    missing=(qemu-user-static)
    installed qemu-user-static || install_missing
  fi
}
if [ $emulator = 1 ] && ! new_emulator_installed; then install_emulator; fi
mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && { echo "setup: installed"; exit 0; }

if ! install_missing; then
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if grep -Eq 'security.*(binary-i386|i386 Packages)' <<<"$update_errors"; then
    echo "setup: the i386 security index could not be fetched: installing the release's own versions of the i386 libraries" >&2
  else
    echo "setup: the plain install failed ($(grep -m1 '^E:' "$log")): installing the release's own versions" >&2
  fi
  [ -n "$release" ] && install_missing -t "$release"
fi

mapfile -t missing < <(missing_packages)
if [ ${#missing[@]} -ne 0 ]; then
  tail -n 20 "$log" >&2
  cause=$(grep -E '^E:' "$log" | tail -n 1)
  echo "setup: could not install ${missing[*]}: ${cause:-apt gave no reason}" >&2
  exit 1
fi
echo "setup: installed"
exit 0
