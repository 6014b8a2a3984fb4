#!/bin/sh
# Sets up a fresh machine, builds Postmoor and starts the desktop program.
# Arguments are passed on to pmoor32 (for example --root DIR).
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
exec ./build/bin/pmoor32 "$@"
