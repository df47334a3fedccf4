#!/usr/bin/env bash
# Checks a built program: PE for x86 (or x64 for the 64-bit test build), entered at
# program_entry, importing only from kernel32, user32, gdi32, ole32, oleaut32 and advapi32, with
# no link time stamp in its header.
set -eu
exe=$1; entry_symbol=$2
dump=$(objdump -p "$exe")
fail() { echo "FAIL: $*"; exit 1; }

format=$(objdump -f "$exe" | sed -n 's/.*file format //p')
case "$format" in pei-i386|pei-x86-64) ;; *) fail "unexpected format $format" ;; esac

allowed="kernel32.dll user32.dll gdi32.dll ole32.dll oleaut32.dll advapi32.dll"
dlls=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || fail "no imports found"
for dll in $dlls; do
  case " $allowed " in *" $dll "*) ;; *) fail "imports from $dll" ;; esac
done

# The entry point must be program_entry, as the link map places it.
entry=$(printf '%s\n' "$dump" | awk '/^AddressOfEntryPoint/ {print $2}')
base=$(printf '%s\n' "$dump" | awk '/^ImageBase/ {print $2}')
symbol=$(awk -v s="$entry_symbol" -v t="${entry_symbol#_}" '($2 == s || $2 == t) && $1 ~ /^0x/ {print $1}' "$exe.map" | head -n 1)
[ -n "$symbol" ] || fail "$entry_symbol not in the link map"
want=$(( symbol - 0x$base ))
[ "$want" -eq $(( 0x$entry )) ] || fail "entry point 0x$entry is not $entry_symbol"
# Reproducible: the header carries no link time stamp (and so its checksum depends on the bytes
# alone).
stamp=$(printf '%s\n' "$dump" | sed -n 's/^Time\/Date\s*//p')
case "$stamp" in *" 1970") ;; *) fail "the header carries the link time stamp $stamp" ;; esac
size=$(stat -c %s "$exe")
echo "ok: $format, entry $entry_symbol, imports: $(echo $dlls | tr '\n' ' '), $size bytes"
