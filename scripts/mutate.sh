#!/usr/bin/env bash
# Mutation run (opt-in, not part of the test command): applies each small fault of a list, one at
# a time, to a source file of runtime/, toolkit/ or app/, rebuilds, runs the suites that cover that
# unit and says whether some test failed on it (killed) or none did (survived). The file is put
# back byte for byte after every mutant, also when the run is interrupted.
#
#   scripts/mutate.sh [--preset win64|win32] [--list FILE] [--only REGEX] [--timeout SECONDS]
#
# --preset   the Windows build whose suite runs for mutants that name the suite "win" (default
#            win64: faster to build and run than win32, and the same sources)
# --list     the mutant list (default scripts/mutants.txt; its header says the format)
# --only     run only the mutants whose name matches this extended regular expression
# --timeout  the time limit of each suite run; a mutant that hangs counts as killed (default 300)
#
# The builds must be configured first (cmake --preset host; cmake --preset win64),
# with WINE_PREFIX_ROOT exported as it was at configure time. Each suite stops at its first
# failure. Results and the output of every mutant go to build/mutate/.
#
# What earlier runs found, and the survivors: docs/measurements.md.
set -u
cd "$(dirname "$0")/.."
ROOT=$PWD

preset=win64
list=scripts/mutants.txt
only=
limit=300
while [ $# -gt 0 ]; do
  case $1 in
    --preset) preset=$2; shift 2 ;;
    --list) list=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    *) echo "usage: $0 [--preset win64|win32] [--list FILE] [--only REGEX] [--timeout SECONDS]" >&2; exit 2 ;;
  esac
done
case $preset in win64 | win32) ;; *) echo "error: --preset is win64 or win32" >&2; exit 2 ;; esac
for p in host "$preset"; do
  [ -f "build/$p/CMakeCache.txt" ] || { echo "error: build/$p is not configured (cmake --preset $p)" >&2; exit 2; }
done

OUT=$ROOT/build/mutate
mkdir -p "$OUT/logs"
WORK=$(mktemp -d)
RESULTS=$OUT/results.txt
: >"$RESULTS"

# --- The list: parsed once into one directory per mutant (name, file, suites, tests, old, new) ---
python3 - "$list" "$WORK/m" "$only" <<'PY' || exit 2
import os, re, sys
path, out, only = sys.argv[1], sys.argv[2], sys.argv[3]
blocks, cur, mode = [], None, None
for n, line in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
    if mode in ("old", "new"):
        if line == "===" and mode == "old":
            mode = "new"; continue
        if line == ">>>" and mode == "new":
            mode = None; continue
        cur[mode].append(line); continue
    if line.startswith("@@ "):
        cur = {"name": line[3:].strip(), "line": n, "old": [], "new": [], "file": "", "suites": "", "tests": ""}
        blocks.append(cur); continue
    if line == "<<<":
        mode = "old"; continue
    if cur is None or not line.strip() or line.startswith("#"):
        continue
    key, _, value = line.partition(":")
    if key.strip() in ("file", "suites", "tests", "why"):
        cur[key.strip()] = value.strip()
    else:
        sys.exit(f"{path}:{n}: unexpected line: {line}")
names = set()
k = 0
for b in blocks:
    if b["name"] in names: sys.exit(f"{path}:{b['line']}: mutant {b['name']} named twice")
    names.add(b["name"])
    if only and not re.search(only, b["name"]): continue
    k += 1
    d = os.path.join(out, "%03d" % k)
    os.makedirs(d)
    for key in ("name", "file", "suites", "tests"):
        open(os.path.join(d, key), "w").write(b[key])
    for key in ("old", "new"):
        open(os.path.join(d, key), "w", encoding="utf-8").write("\n".join(b[key]))
print(k, "mutants", file=sys.stderr)
PY

# --- Applying and restoring ---------------------------------------------------------------------
current=      # the file a mutant is applied to, while it is
backup=$WORK/backup
restore() {
  if [ -n "$current" ]; then
    # Written over, not copied with its old time stamp: the next build must compile it again.
    cat "$backup" >"$current"
    cmp -s "$backup" "$current" || echo "error: could not restore $current (copy in $backup)" >&2
    current=
  fi
}
stop_wine() {
  (source scripts/wine-env.sh && wine_server_end "$(wine_prefix_path)") >/dev/null 2>&1
}
on_signal() {
  echo; echo "interrupted: restoring" >&2
  restore; stop_wine; rm -rf "$WORK"; exit 130
}
trap on_signal INT TERM
trap 'restore; rm -rf "$WORK"' EXIT

# Replaces the old text by the new one when it occurs exactly once; says why not otherwise.
apply_mutant() {
  python3 - "$1" "$2/old" "$2/new" <<'PY'
import sys
path, old, new = sys.argv[1], open(sys.argv[2], encoding="utf-8").read(), open(sys.argv[3], encoding="utf-8").read()
text = open(path, encoding="utf-8", newline="").read()
count = text.count(old) if old else 0
if count != 1:
    print(f"the old text occurs {count} times in {path}"); sys.exit(1)
open(path, "w", encoding="utf-8", newline="").write(text.replace(old, new, 1))
PY
}

# Builds a preset and runs its suite (or the tests matching a regular expression) up to the first
# failure, within the time limit. Returns 0 when every test passed, 1 when one failed or the run
# timed out, 2 when the build failed.
run_suite() {
  local p=$1 tests=$2 log=$3 rc
  nice -n 10 cmake --build --preset "$p" >>"$log" 2>&1 || return 2
  local args=(--preset "$p" --stop-on-failure --timeout "$limit")
  [ -n "$tests" ] && args+=(-R "$tests")
  local runner=()
  [ "$p" = host ] || runner=(xvfb-run -a -s "-screen 0 1280x1024x24")
  timeout -k 10 "$limit" nice -n 10 "${runner[@]}" ctest "${args[@]}" >>"$log" 2>&1
  rc=$?
  [ "$p" = host ] || stop_wine
  [ $rc -eq 124 ] || [ $rc -eq 137 ] && echo "(time limit of ${limit}s reached)" >>"$log"
  [ $rc -eq 0 ] && return 0
  return 1
}

# The unmutated sources must build and pass, else no verdict means anything. Touching them first
# makes sure no object of an interrupted earlier run survives.
touch runtime/*.cpp toolkit/*.cpp app/*.cpp
: >"$OUT/logs/baseline.log"
start=$(date +%s)
for p in host "$preset"; do
  echo "=== baseline $p" >>"$OUT/logs/baseline.log"
  run_suite "$p" "" "$OUT/logs/baseline.log" ||
    { echo "error: the unmutated $p build fails (build/mutate/logs/baseline.log)" >&2; exit 1; }
done
echo "baseline: host and $preset pass ($(($(date +%s) - start))s)" | tee -a "$RESULTS"
killed=0 survived=0 broken=0
total=$(ls "$WORK/m" | wc -l)
for d in "$WORK"/m/*; do
  i=$(basename "$d")
  name=$(cat "$d/name") file=$(cat "$d/file") suites=$(cat "$d/suites") tests=$(cat "$d/tests")
  log=$OUT/logs/$i-$name.log
  : >"$log"
  t0=$(date +%s)
  verdict= detail=
  if [ ! -f "$file" ]; then
    verdict=broken detail="no file $file"
  else
    cp -p "$file" "$backup"
    current=$file
    if ! detail=$(apply_mutant "$file" "$d"); then
      verdict=broken
    else
      for s in $suites; do
        [ "$s" = win ] && s=$preset
        echo "=== suite $s ${tests:+(-R $tests)}" >>"$log"
        run_suite "$s" "$tests" "$log"
        case $? in
          1) verdict=killed
             detail="$s: $(grep -E '\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception|time limit' "$log" | head -n 1 | sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: //; s/ *\.{3,}/ /; s/ +/ /g')"
             break ;;
          2) verdict=broken detail="$s: does not build"; break ;;
        esac
      done
      [ -n "$verdict" ] || { verdict=survived detail="$suites"; }
    fi
    restore
  fi
  case $verdict in killed) killed=$((killed + 1)) ;; survived) survived=$((survived + 1)) ;; *) broken=$((broken + 1)) ;; esac
  line=$(printf '[%s/%s] %-44s %-8s %4ss  %s' "$((10#$i))" "$total" "$name" "$verdict" "$(($(date +%s) - t0))" "$detail")
  echo "$line" | tee -a "$RESULTS"
done

# The builds are left as the restored sources make them.
for p in host "$preset"; do nice -n 10 cmake --build --preset "$p" >/dev/null 2>&1; done
scored=$((killed + survived))
{
  echo
  echo "mutants: $total  killed: $killed  survived: $survived  broken: $broken  time: $(($(date +%s) - start))s"
  [ $scored -gt 0 ] && echo "score: $((100 * killed / scored)).$(((1000 * killed / scored) % 10)) % killed ($killed of $scored)"
} | tee -a "$RESULTS"
