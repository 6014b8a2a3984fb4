#!/bin/sh
# Sets up a fresh machine, builds Postmoor and starts it:
#
#   ./scripts/run.sh [--root DIR] [pmoor32 arguments...]
#
# Without a command pmoor32 opens the desktop program (on a machine without a
# display it says so and shows the xvfb-run line to use); with one (init,
# import, ...) it runs in command mode. The script stays in the directory it
# was run from, so a relative DIR, and the default installation (that
# directory itself), are taken from there.
#
# Already set up and built? POSTMOOR_NO_SETUP=1 skips installing and
# building; POSTMOOR_BUILD_DIR names another build directory.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${POSTMOOR_BUILD_DIR:-$source_dir/build}

if [ -z "${POSTMOOR_NO_SETUP:-}" ]; then
    "$source_dir/scripts/install-deps.sh"
    cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build_dir" --parallel "$(nproc)"
fi

exec "$build_dir/bin/pmoor32" "$@"
