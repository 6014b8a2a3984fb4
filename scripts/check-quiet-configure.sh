#!/bin/sh
# Configures the project afresh in a scratch directory and fails when CMake
# says more than a newcomer should have to read: a warning, or a package it
# looked for and could not find.
set -eu
source_dir="${1:-.}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! cmake -S "$source_dir" -B "$scratch" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$scratch/log" 2>&1; then
    cat "$scratch/log"
    exit 1
fi
noise=$(grep -iE 'warning|could not find' "$scratch/log" || true)
if [ -n "$noise" ]; then
    echo "configuring prints lines a newcomer cannot place:"
    echo "$noise"
    exit 1
fi
echo "configuring is quiet"
