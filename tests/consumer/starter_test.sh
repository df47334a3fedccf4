#!/usr/bin/env bash
# The starter project (examples/starter) as a user starts from it: copied out of the tree into an
# empty folder, built and tested there, its tests run by CTest through the test kit.
#   1. against an install of this build, with the source tree out of reach (a mount namespace
#      puts an empty file system over it): the kit (dialogkit-test, its Wine scripts, the driver)
#      is the package's;
#   2. in the 32-bit build, also with FetchContent of the source tree (link-time optimisation on
#      in its release build).
# The builds are of this build's architecture; one configured for the other stops with a message
# that names the package's.
#   starter_test.sh BUILD SOURCE TOOLCHAIN_FILE_NAME
set -u
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
toolchain=$3
arch=i686
[ "$toolchain" = mingw-x86_64.cmake ] && arch=x86_64
fail=0
note() { echo "starter: $*"; }
work=$(mktemp -d /tmp/dialogkit-starter.XXXXXX)
trap 'rm -rf "$work"' EXIT

hidden_source() {
  unshare -m bash -c 'mount -t tmpfs none "$1" && shift && exec "$@"' hide "$source_dir" "$@"
}

# Configures, builds and tests the copy in $work/NAME; with `hidden` first, with the source tree
# hidden throughout.
#   build_and_test [hidden] NAME OPTION...
build_and_test() {
  local run=()
  if [ "$1" = hidden ]; then run=(hidden_source); shift; fi
  local name=$1; shift
  cp -r "$source_dir/examples/starter" "$work/$name"
  if ! { "${run[@]}" cmake -S "$work/$name" -B "$work/$name/build" "$@" &&
         "${run[@]}" cmake --build "$work/$name/build" -j2; } >"$work/$name.log" 2>&1; then
    cat "$work/$name.log"
    note "$name: the build failed"
    fail=1
    return
  fi
  note "$name: built; its tests through the kit:"
  "${run[@]}" ctest --test-dir "$work/$name/build" --output-on-failure || { note "$name: its tests failed"; fail=1; }
}

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; note "cmake --install failed"; exit 1; }
build_and_test hidden package -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_TOOLCHAIN_FILE="$work/prefix/lib/cmake/DialogKit/$toolchain"
if grep -rlF "$source_dir" "$work/package/build" 2>/dev/null | grep -v '\.log$' | head -3 | grep .; then
  note "files of the build against the package (above) name the source tree"
  fail=1
fi
# The package for the other architecture's toolchain: configuring stops, saying why.
other=mingw-x86_64.cmake bits=32
[ $arch = x86_64 ] && other=mingw-i686.cmake bits=64
cp -r "$source_dir/examples/starter" "$work/mismatch"
if cmake -S "$work/mismatch" -B "$work/mismatch/build" -DCMAKE_PREFIX_PATH="$work/prefix" \
     -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/$other" >"$work/mismatch.log" 2>&1; then
  note "a project for the other architecture was configured against the $bits-bit package"
  fail=1
elif ! tr -s ' \n' '  ' <"$work/mismatch.log" | grep -qF "is a $bits-bit package, and this project builds"; then
  cat "$work/mismatch.log"
  note "the architectures' mismatch was not named"
  fail=1
else
  note "a project for the other architecture: stopped, naming the $bits-bit package"
fi

# FetchContent builds the whole of DialogKit again (minutes on a busy machine): in the 32-bit
# suite, the product's, only.
if [ $arch = i686 ]; then
  build_and_test fetch -DDIALOGKIT_SOURCE_DIR="$source_dir" -DDIALOGKIT_ARCH=$arch
fi
exit $fail
