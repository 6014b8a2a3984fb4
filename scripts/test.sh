#!/bin/sh
# Sets up a fresh machine, builds Postmoor and runs every test.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# The tests need the optimised code but not its debug information, which
# costs a sixth of the compile time and most of the link time.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
cmake --build build --parallel "$(nproc)"
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
