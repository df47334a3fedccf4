# Sourced by the test and run commands: how this machine runs the 32-bit Windows programs.
#   native    the kernel executes 32-bit programs: 32-bit Wine runs as it is.
#   emulated  it does not: qemu's i386 user-mode emulator is registered with the kernel's
#             binfmt_misc for as long as the command runs, and 32-bit Wine runs under it. The
#             registration, and the mount of binfmt_misc if the command made it, is undone when
#             the command ends, also when it fails.
# WINE32_MODE=emulated in the environment asks for the emulator where the kernel would do (to
# try the emulated path on such a machine).
WINE32_BINFMT=/proc/sys/fs/binfmt_misc
WINE32_ENTRY_NAME=resizing-qemu-i386
wine32_registered=0
wine32_mounted=0

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
    grep -qx enabled "$entry" && grep -q '^interpreter .*qemu-i386' "$entry" && return 0
  done
  return 1
}

wine32_emulator_end() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  local entry=$WINE32_BINFMT/$WINE32_ENTRY_NAME
  if [ $wine32_registered = 1 ]; then
    for _ in 1 2 3 4 5; do
      [ -e "$entry" ] || break
      echo -1 > "$entry" 2>/dev/null || sleep 1
    done
    [ -e "$entry" ] && echo "warning: could not remove $entry; remove it with: echo -1 > $entry" >&2
    wine32_registered=0
  fi
  if [ $wine32_mounted = 1 ]; then
    umount "$WINE32_BINFMT" 2>/dev/null || echo "warning: could not unmount $WINE32_BINFMT" >&2
    wine32_mounted=0
  fi
  return 0
}

# Registers the emulator; fails with a message saying why when it cannot.
wine32_emulator_begin() {
  local qemu=/usr/bin/qemu-i386-static
  if [ ! -x $qemu ]; then
    bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" --emulator \
      || { echo "error: 32-bit emulation: qemu-user-static could not be installed" >&2; return 1; }
  fi
  if [ ! -e "$WINE32_BINFMT/register" ]; then
    mount -t binfmt_misc binfmt_misc "$WINE32_BINFMT" 2>/dev/null \
      || { echo "error: 32-bit emulation: cannot mount binfmt_misc at $WINE32_BINFMT (needs root)" >&2; return 1; }
    wine32_mounted=1
  fi
  # i386 ELF executables, by the ELF header's class, data, version and machine fields. F: the
  # kernel opens the emulator now, so it serves every mount namespace.
  if [ ! -e "$WINE32_BINFMT/$WINE32_ENTRY_NAME" ]; then
    printf '%s' ":$WINE32_ENTRY_NAME:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
      > "$WINE32_BINFMT/register" 2>/dev/null \
      || { echo "error: 32-bit emulation: cannot register $qemu with binfmt_misc" >&2; wine32_emulator_end; return 1; }
    wine32_registered=1
  fi
  "$WINE32_LOADER" --version >/dev/null 2>&1 \
    || { echo "error: 32-bit emulation: 32-bit Wine does not start under $qemu" >&2; wine32_emulator_end; return 1; }
}

# Decides the mode, prints it, and registers the emulator where it is needed; the exit trap set
# here removes the registration when the command ends, however it ends (short of SIGKILL).
wine32_mode_begin() {
  # A registration of ours that an interrupted command left behind would pass for the kernel's
  # own 32-bit support: remove it first.
  [ -e "$WINE32_BINFMT/$WINE32_ENTRY_NAME" ] && echo -1 > "$WINE32_BINFMT/$WINE32_ENTRY_NAME"
  if [ "${WINE32_MODE:-}" != emulated ]; then
    if wine32_machine_emulator; then
      WINE32_MODE=emulated
      echo "32-bit Windows programs: emulated (qemu-i386, registered by this machine)"
      return 0
    elif wine32_kernel_runs_i386; then
      WINE32_MODE=native
      echo "32-bit Windows programs: native (this kernel runs 32-bit programs)"
      return 0
    fi
  fi
  WINE32_MODE=emulated
  echo "32-bit Windows programs: emulated (qemu-i386 user mode, registered for this command)"
  trap wine32_emulator_end EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  wine32_emulator_begin
}
export WINE32_MODE
