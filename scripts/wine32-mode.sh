# Sourced by the test and run commands and the test kit: how this machine runs the 32-bit Windows
# programs. "native": the kernel executes 32-bit programs, and 32-bit Wine runs as it is.
# "emulated": it does not, and 32-bit Wine runs under qemu's i386 user-mode emulator, registered
# with binfmt_misc (WINE32_MODE=emulated asks for it anyway). WINE32_MODE_TEXT says which.
# The registration is one entry for the whole machine: each command that needs it holds a share
# (scripts/wine32-hold.sh), and the last one to give its share back, or to die, removes it. An
# entry that nobody holds is a leftover (of a machine that went down, say) and is made afresh.
WINE32_BINFMT=/proc/sys/fs/binfmt_misc
WINE32_ENTRY_NAME=resizing-qemu-i386
WINE32_LOCKS=$( [ -w /run/lock ] && echo /run/lock || echo /tmp )/$WINE32_ENTRY_NAME
wine32_holder=

# 96 bytes of a static i386 Linux program that exits with 42.
wine32_kernel_runs_i386() {
  local probe rc=0
  probe=$(mktemp)
  printf '%b' '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' > "$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  [ $rc = 42 ]
}

# An emulator for i386 programs that the machine itself has registered (and keeps).
wine32_machine_emulator() {
  local entry
  for entry in "$WINE32_BINFMT"/*; do
    [ -f "$entry" ] && [ "${entry##*/}" != "$WINE32_ENTRY_NAME" ] || continue
    grep -qx enabled "$entry" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$entry" && return 0
  done
  return 1
}

# The newest qemu-i386 installed: the backports' qemu-user, or else the release's static one.
wine32_emulator_path() {
  local candidate best= best_version=0 version
  for candidate in /usr/bin/qemu-i386 /usr/bin/qemu-i386-static; do
    [ -x "$candidate" ] || continue
    version=$("$candidate" --version 2>/dev/null | sed -n '1s/.*version \([0-9.]*\).*/\1/p')
    if [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best_version"; then
      best=$candidate best_version=$version
    fi
  done
  [ -n "$best" ] && echo "$best"
}

# Whether any command holds a share of the registration: an exclusive lock on the users' file
# can be had only when nobody holds a shared one.
wine32_held() { ! flock -n -x "$WINE32_LOCKS.users" true; }

# Runs FUNCTION [ARGUMENT...] of this file in a shell of its own that holds the state lock: every
# change of the entry is made under it. -o: nothing the function starts holds the lock.
wine32_locked() { flock -o "$WINE32_LOCKS.state" bash -c 'source "$0" && "$@"' "${BASH_SOURCE[0]}" "$@"; }

# Removes the entry when nobody holds the registration (a leftover, or the last share given
# back), and unmounts binfmt_misc if a command of ours mounted it.
wine32_unregister_unheld() {
  local entry=$WINE32_BINFMT/$WINE32_ENTRY_NAME
  wine32_held && return 0
  for _ in 1 2 3 4 5; do
    [ -e "$entry" ] || break
    echo -1 > "$entry" 2>/dev/null || sleep 1
  done
  [ -e "$entry" ] && echo "warning: could not remove $entry; remove it with: echo -1 > $entry" >&2
  if [ -e "$WINE32_LOCKS.mounted" ]; then
    umount "$WINE32_BINFMT" 2>/dev/null && rm -f "$WINE32_LOCKS.mounted"
  fi
  return 0
}

# Registers the emulator; fails with a message saying why when it cannot.
wine32_register() {
  local qemu=$1
  if [ ! -e "$WINE32_BINFMT/register" ]; then
    mount -t binfmt_misc binfmt_misc "$WINE32_BINFMT" 2>/dev/null \
      || { echo "error: 32-bit emulation: cannot mount binfmt_misc at $WINE32_BINFMT (needs root)" >&2; return 1; }
    touch "$WINE32_LOCKS.mounted"
  fi
  # i386 ELF executables, by the ELF header's class, data, version and machine fields. F: the
  # kernel opens the emulator now, so it serves every mount namespace.
  printf '%s' ":$WINE32_ENTRY_NAME:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
    > "$WINE32_BINFMT/register" 2>/dev/null \
    || { echo "error: 32-bit emulation: cannot register $qemu with binfmt_misc" >&2; return 1; }
}

# Takes a share of the registration for command PID (under the state lock): registers QEMU if
# nobody holds the entry (replacing a leftover), starts the command's holder and prints its
# process id.
#   wine32_share QEMU PID
wine32_share() {
  local qemu=$1 ready=$WINE32_LOCKS.ready.$2 holder
  if ! wine32_held; then
    wine32_unregister_unheld
    wine32_register "$qemu" || return 1
  elif ! grep -q "^interpreter $qemu\$" "$WINE32_BINFMT/$WINE32_ENTRY_NAME" 2>/dev/null; then
    echo "note: another command registered $(sed -n 's/^interpreter //p' "$WINE32_BINFMT/$WINE32_ENTRY_NAME"); sharing it" >&2
  fi
  rm -f "$ready"
  setsid bash "$(dirname "${BASH_SOURCE[0]}")/wine32-hold.sh" "$2" "$ready" </dev/null >/dev/null 2>&1 &
  for _ in $(seq 1 100); do [ -s "$ready" ] && break; sleep 0.1; done
  holder=$(cat "$ready" 2>/dev/null)
  rm -f "$ready"
  [ -n "$holder" ] || { echo "error: 32-bit emulation: the registration's holder did not start" >&2; return 1; }
  echo "$holder"
}

# Takes this command's share of the registration.
wine32_emulator_begin() {
  bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" --emulator \
    || { echo "error: 32-bit emulation: no emulator could be installed" >&2; return 1; }
  local qemu
  qemu=$(wine32_emulator_path) || { echo "error: 32-bit emulation: no qemu-i386 installed" >&2; return 1; }
  wine32_holder=$(wine32_locked wine32_share "$qemu" $$) || return 1
  WINE32_MODE_TEXT="emulated ($qemu $("$qemu" --version | sed -n '1s/.*version \([0-9.]*\).*/\1/p'), shared registration)"
  "$WINE32_LOADER" --version >/dev/null 2>&1 \
    || { echo "error: 32-bit emulation: 32-bit Wine does not start under $qemu" >&2; return 1; }
}

# Gives this command's share back; the last one out removes the entry.
wine32_emulator_end() {
  [ -n "$wine32_holder" ] || return 0
  kill "$wine32_holder" 2>/dev/null || true
  # Not a child of this shell (it has a session of its own): wait until it is gone.
  for _ in $(seq 1 50); do kill -0 "$wine32_holder" 2>/dev/null || break; sleep 0.1; done
  wine32_holder=
  wine32_locked wine32_unregister_unheld
  return 0
}

# Decides the mode, prints it, and takes a share of the emulator's registration where it is
# needed; the exit trap set here gives it back when the command ends, however it ends.
wine32_mode_begin() {
  if [ "${WINE32_MODE:-}" != emulated ]; then
    if wine32_machine_emulator; then
      WINE32_MODE=emulated WINE32_MODE_TEXT="emulated (qemu-i386, registered by this machine)"
      echo "32-bit Windows programs: $WINE32_MODE_TEXT"
      return 0
    fi
    # While another command holds the entry, every 32-bit program on the machine runs under the
    # emulator: this command shares it. An entry nobody holds is a leftover and goes first, so
    # that the kernel's own support can be seen.
    [ -e "$WINE32_BINFMT/$WINE32_ENTRY_NAME" ] && wine32_locked wine32_unregister_unheld
    if ! [ -e "$WINE32_BINFMT/$WINE32_ENTRY_NAME" ] && wine32_kernel_runs_i386; then
      WINE32_MODE=native WINE32_MODE_TEXT="native (this kernel runs 32-bit programs)"
      echo "32-bit Windows programs: $WINE32_MODE_TEXT"
      return 0
    fi
  fi
  WINE32_MODE=emulated
  trap wine32_emulator_end EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  wine32_emulator_begin || return 1
  echo "32-bit Windows programs: $WINE32_MODE_TEXT"
}
export WINE32_MODE
