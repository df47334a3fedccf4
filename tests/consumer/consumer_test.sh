#!/usr/bin/env bash
# The consumer test: the project beside this script, a project of its own, builds its program on
# DialogKit in the three ways another project can, and each program runs under Wine.
#   1. find_package: this build is installed into a temporary prefix; the project and the prefix
#      are copied to a temporary folder and configured and built there, with the source tree out
#      of reach (a mount namespace puts an empty file system over it), using the toolchain file
#      installed with the package; no file of that build may name the source tree.
#   2. add_subdirectory of the source tree, 3. FetchContent with SOURCE_DIR of the source tree,
#      each with the tree's own toolchain file and the default link-time optimisation (on), or
#      this build's setting when it turned it off.
# The three programs must be byte-identical and pass the product's import check. Each shows its
# dialog; its button and its menu item put "Hello from DialogKit <version>" into its text box;
# it ends with exit code 0 after the close request. The package's dialogkit-driver.exe, which its
# configuration names, drives them.
#   consumer_test.sh BUILD SOURCE TOOLCHAIN_FILE_NAME BUILD_TYPE LTO VERSION
set -u
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
toolchain=$3 build_type=$4 lto=$5 version=$6
fail=0
note() { echo "consumer: $*"; }
work=$(mktemp -d /tmp/dialogkit-consumer.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Runs a command with the source tree hidden under an empty file system: a mount namespace of
# its own, so that nothing else sees the change.
hidden_source() {
  unshare -m bash -c 'mount -t tmpfs none "$1" && shift && exec "$@"' hide "$source_dir" "$@"
}

# Configures and builds the project in $work/project into the folder INTO, with the options
# after it; with `hidden` first, with the source tree hidden.
#   configure_and_build [hidden] INTO OPTION...
configure_and_build() {
  local run=()
  if [ "$1" = hidden ]; then run=(hidden_source); shift; fi
  local into=$1; shift
  "${run[@]}" cmake -S "$work/project" -B "$into" -DCMAKE_BUILD_TYPE="$build_type" "$@" >"$into.log" 2>&1 &&
    "${run[@]}" cmake --build "$into" -j2 >>"$into.log" 2>&1
}

# Checks the greeter of the build folder $1 as the product is checked (imports, entry point, no
# time stamp), then runs it and drives it with the dialogkit-driver.exe the package installed.
run_greeter() {
  local greeting="Hello from DialogKit $version" entry=program_entry
  [ "$(objdump -f "$1/greeter.exe" | sed -n 's/.*file format //p')" = pei-i386 ] && entry=_program_entry
  bash "$source_dir/scripts/check-imports.sh" "$1/greeter.exe" $entry || fail=1
  (
    build=$1
    fail=0
    source "$source_dir/tests/e2e/common.sh"
    start_program greeter
    bash "$wine" "$driver" wait Greeter \
      click 101 expect-text 100 "$greeting" \
      set 100 "cleared" command 200 expect-text 100 "$greeting" \
      close || { note "the greeter did not greet from its button and its menu item, or did not end"; fail=1; }
    expect_exit_0 greeter
    exit $fail
  )
}

# 1. The installed package, the source tree out of reach.
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; note "cmake --install failed"; exit 1; }
cp -r "$source_dir/tests/consumer" "$work/project"
mkdir -p "$work/package"
if ! listing=$(hidden_source ls -A "$source_dir") || [ -n "$listing" ]; then
  note "cannot hide the source tree (unshare -m and mount need root)"
  exit 1
fi
if ! configure_and_build hidden "$work/package/build" -DDIALOGKIT_FROM=package \
    -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_TOOLCHAIN_FILE="$work/prefix/lib/cmake/DialogKit/$toolchain"; then
  cat "$work/package/build.log"
  note "the build against the installed package failed (with the source tree hidden)"
  exit 1
fi
if grep -rlF "$source_dir" "$work/package/build"; then
  note "files of the build against the package (above) name the source tree"
  fail=1
fi
# The package names the driver it installed, which drives every greeter below.
driver=$work/prefix/bin/dialogkit-driver.exe
grep -qxF -- "-- dialogkit-driver: $driver" "$work/package/build.log" ||
  { note "the package does not name $driver as DIALOGKIT_DRIVER"; fail=1; }
note "built against the installed package, with the source tree out of reach"
run_greeter "$work/package/build" || fail=1

# 2. and 3. The source tree added to the project.
lto_option=()
[ "$lto" = ON ] || lto_option=(-DDIALOGKIT_LTO="$lto")
for way in subdirectory fetch; do
  mkdir -p "$work/$way"
  if ! configure_and_build "$work/$way/build" -DDIALOGKIT_FROM=$way -DDIALOGKIT_SOURCE_DIR="$source_dir" \
      -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/$toolchain" "${lto_option[@]}"; then
    cat "$work/$way/build.log"
    note "the build with the source tree added ($way) failed"
    fail=1
    continue
  fi
  note "built with the source tree added ($way)"
  run_greeter "$work/$way/build" || fail=1
  # The same sources with the same options: the same program, whichever way DialogKit came.
  cmp "$work/package/build/greeter.exe" "$work/$way/build/greeter.exe" ||
    { note "greeter.exe differs between the package and the $way build"; fail=1; }
done
exit $fail
