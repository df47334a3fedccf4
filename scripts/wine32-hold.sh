#!/usr/bin/env bash
# The share of the emulator's registration that one command holds (scripts/wine32-mode.sh starts
# it in a session of its own): a shared lock on the users' file, held for as long as the command
# runs. The command ends it when it ends. If the command dies without ending it (SIGKILL), this
# process notices within a second, lets go, and removes the entry if nobody else holds it.
#   wine32-hold.sh COMMAND_PID READY_FILE
set -u
command_pid=$1 ready=$2
source "$(dirname "$0")/wine32-mode.sh"
exec 8>"$WINE32_LOCKS.users"
flock -s 8
echo $$ > "$ready.tmp" && mv "$ready.tmp" "$ready"
# The sleeps must not hold the lock: a share outlives its process otherwise.
while kill -0 "$command_pid" 2>/dev/null; do sleep 1 8>&-; done
exec 9>"$WINE32_LOCKS.state"
flock -x 9
exec 8>&-
wine32_others_hold || wine32_unregister
