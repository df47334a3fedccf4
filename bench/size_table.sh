#!/usr/bin/env bash
# The size table: builds the 32-bit programs (the win32 preset, as shipped) and the size probes,
# then prints, as Markdown,
#   1. every program: its bytes, the bytes of its headers and of each section in the file (with
#      the bytes used of each in brackets), and how many functions it imports from which DLLs;
#   2. every program's imports by name;
#   3. what each feature of the toolkit costs a program that starts using it: the probe with the
#      feature against the base program (a dialog shown modally), in file bytes, in bytes used of
#      .text (code, constants and the import table), and the imports it adds.
# BUILD=folder takes an existing build instead (nothing is built).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-}
if [ -z "$build" ]; then
  build=build/win32
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target resizing hello controls_demo counter todo layout size_probes >/dev/null
fi
programs="resizing hello counter todo layout controls_demo"

sections() { bash scripts/pe-sections.sh "$1"; }
# The imports as "DLL function" lines.
imports() {
  objdump -p "$1" | awk '/DLL Name:/ {dll=$3} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ && dll {print dll, $NF} /^$/ {dll=dll}'
}
used_text() { sections "$1" | awk '$1 == "section" && $2 == ".text" {print $4}'; }

echo "| program | bytes | headers | .text | .rtdata | .rsrc | imports |"
echo "|---|---:|---:|---:|---:|---:|---|"
for p in $programs; do
  exe=$build/$p.exe
  row="| $p.exe | $(stat -c %s "$exe")"
  while read -r kind name raw used; do
    if [ "$kind" = headers ]; then row="$row | $name"; continue; fi
    case "$name" in .text|.rtdata|.rsrc) row="$row | $raw ($used)" ;; *) row="$row | $name $raw ($used)" ;; esac
  done < <(sections "$exe")
  row="$row | $(imports "$exe" | awk '{n[$1]++; t++} END {printf "%d:", t; for (d in n) printf " %s %d", d, n[d]}')"
  echo "$row |"
done
echo
echo "| program | imports |"
echo "|---|---|"
for p in $programs; do
  echo "| $p.exe | $(imports "$build/$p.exe" | awk '{print $2}' | sort | tr '\n' ' ')|"
done

echo
probes=$build/size_probes
base=$probes/base.exe
base_bytes=$(stat -c %s "$base") base_used=$(used_text "$base")
echo "| feature | file bytes | bytes used of .text | imports added |"
echo "|---|---:|---:|---|"
echo "| base program (a dialog shown modally) | $base_bytes | $base_used | $(imports "$base" | wc -l) functions |"
kind_names=(custom-class push-button three-state-check-box check-box group-frame label etched-frame
            option-button scroll-bar text-box image sized-image image-button sized-image-button
            combo-box list-box)
# feature NAME LABEL [REFERENCE]: the probe NAME against the base program, or against the probe
# REFERENCE (a feature that needs another one to be reached).
feature() {
  local exe=$probes/$1.exe ref=$probes/${3:-base}.exe
  local added
  added=$(imports "$exe" | sort | comm -13 <(imports "$ref" | sort) - | awk '{print $2}' | tr '\n' ' ')
  echo "| $2 | +$(( $(stat -c %s "$exe") - $(stat -c %s "$ref") )) | +$(( $(used_text "$exe") - $(used_text "$ref") )) | ${added:-none} |"
}
for kind in $(seq 0 15); do feature kind$kind "control kind $kind (${kind_names[$kind]})"; done
feature images "images (control_set_image)"
feature menus "menus (a menu bar, one item with its callback)"
feature layout_table "layout tables (layout_attach)"
feature number_to_text "number to text (number_to_text)"
feature modal_sub_dialog "modal sub-dialogs (an owned dialog shown modally from a menu item; against the menus probe)" menus
