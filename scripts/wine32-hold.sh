#!/usr/bin/env bash
# The share of the emulator's registration that one command holds (wine32_share of
# scripts/wine32-mode.sh starts it in a session of its own): a shared lock on the users' file,
# held by flock for as long as the command runs; the process id it writes is the one the command
# ends when it ends. If the command dies without ending it (SIGKILL), it notices within a second.
# Either way the share is then given back, and the entry removed if nobody else holds it.
#   wine32-hold.sh COMMAND_PID READY_FILE
set -u
source "$(dirname "$0")/wine32-mode.sh"
flock -s -o "$WINE32_LOCKS.users" bash -c \
  'echo $$ > "$0.tmp" && mv "$0.tmp" "$0"; while kill -0 "$1" 2>/dev/null; do sleep 1; done' "$2" "$1"
wine32_locked wine32_unregister_unheld
