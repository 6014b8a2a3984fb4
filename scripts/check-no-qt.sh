#!/bin/sh
# Fails when an engine source includes a Qt header. Qt may be included only in
# windows/ folders, program/frame/ and program/cli/.
set -eu
root="${1:-.}"
cd "$root"
bad=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/)' library program \
        --include='*.h' --include='*.hpp' --include='*.cpp' \
      | grep -vE '(^|/)windows/|^program/frame/|^program/cli/' || true)
if [ -n "$bad" ]; then
    echo "Qt headers included in engine files:"
    echo "$bad"
    exit 1
fi
echo "engine is free of Qt"
