#!/usr/bin/env bash
# Installs every Debian package the builds and tests need; this list is the only one. Idempotent:
# when everything is already there it changes nothing and returns at once.
#
#   bash scripts/setup.sh              what the builds, the run command and the tests need
#   bash scripts/setup.sh --emulator   the same and qemu's i386 user-mode emulator, for machines
#                                      whose kernel runs no 32-bit programs
#
# 32-bit Wine needs each of its i386 libraries at the same version as the amd64 one beside it.
# When the mirror cannot serve the i386 index of the security suite, apt knows the i386 libraries
# only at the release's own versions while the amd64 ones come from security, and the plain
# install cannot be resolved. Then the install is tried once more with the release's own versions
# (apt's target release), which resolves on such a mirror. The plain install comes first, so that
# a healthy mirror still gives the security versions.
set -uo pipefail

packages=(
  cmake g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xauth imagemagick x11-utils
  googletest libgtest-dev libbenchmark-dev libgmp-dev
)
[ "${1:-}" = --emulator ] && packages+=(qemu-user-static)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing_packages() {
  local p
  for p in "${packages[@]}"; do installed "$p" || echo "$p"; done
}

mapfile -t missing < <(missing_packages)
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: installing ${missing[*]}"

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

install() { "${apt[@]}" install -y --no-install-recommends "$@" "${missing[@]}" >"$log" 2>&1; }

if ! install; then
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if grep -Eq 'security.*(binary-i386|i386 Packages)' <<<"$update_errors"; then
    echo "setup: the i386 security index could not be fetched: installing the release's own versions of the i386 libraries" >&2
  else
    echo "setup: the plain install failed ($(grep -m1 '^E:' "$log")): installing the release's own versions" >&2
  fi
  [ -n "$release" ] && install -t "$release"
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
