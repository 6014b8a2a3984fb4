#!/bin/sh
# Fails when an engine file includes a header of a folder above its own.
#
# The engine folders lie on floors, lowest first; a file may include its own
# folder and folders on lower floors only (folders on one floor do not use
# each other):
#   library:          common < storage < tables < wordindex, import < merge, tasks
#   library/import:   internet, addresses < store < driver
#                     < the readers of the source formats: capture, formats
#                       < navigator (reuses their field and byte readers)
#                       < outlook (reuses the navigator's messages)
#                     < registry (the format table naming every reader)
#   program engine:   above the library; never includes the frame, command
#                     mode or any windows/ folder.
# A new folder below library/import/ counts as a reader on the floor of
# outlook; a new top folder
# of library/ has no floor until it is given one here (and in
# library/CMakeLists.txt). windows/ folders, program/frame/ and program/cli/
# are the Qt and command-line layers above the engine and are not checked.
set -eu
root="${1:-.}"
cd "$root"

grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' library program \
        --include='*.h' --include='*.hpp' --include='*.cpp' \
    | grep -vE '^[^:]*/windows/|^program/frame/|^program/cli/' \
    | awk '
function floorOf(folder) {
    if (folder == "common") return 0
    if (folder == "storage") return 1
    if (folder == "tables") return 2
    if (folder == "wordindex" || folder == "import") return 3
    if (folder == "merge" || folder == "tasks") return 4
    return -1
}
function importFloorOf(part) {
    if (part == "internet" || part == "addresses") return 0
    if (part == "store") return 1
    if (part == "driver") return 2
    if (part == "capture" || part == "formats") return 3
    if (part == "navigator") return 4
    if (part == "registry") return 6
    return 5  # outlook and any other reader of a source format
}
function fail(why) {
    print FILENAME_ ":" LINE_ ": " why
    bad = 1
}
{
    # file:line:#include "target"
    first = index($0, ":")
    FILENAME_ = substr($0, 1, first - 1)
    rest = substr($0, first + 1)
    LINE_ = substr(rest, 1, index(rest, ":") - 1)
    target = rest
    sub(/^[^"]*"/, "", target)
    sub(/".*$/, "", target)

    n = split(FILENAME_, from, "/")
    m = split(target, to, "/")
    if (from[1] == "program") {
        if (to[1] == "frame" || to[1] == "cli" || target ~ /(^|\/)windows\//)
            fail("the program engine includes " target)
        next
    }
    # library/<folder>/...
    folder = from[2]
    if (floorOf(folder) < 0) { fail("folder library/" folder " has no floor in " "scripts/check-include-floors.sh"); next }
    if (m < 2) next  # a header beside the file
    if (floorOf(to[1]) < 0) { fail("includes " target ", which is not an engine folder below library/" folder); next }
    if (to[1] != folder) {
        if (floorOf(to[1]) >= floorOf(folder)) fail("library/" folder " includes " target " (not a lower floor)")
        next
    }
    if (folder == "import" && n > 3 && m > 2 && from[3] != to[2]) {
        if (importFloorOf(to[2]) >= importFloorOf(from[3]))
            fail("import/" from[3] " includes " target " (not a lower floor of import)")
    }
}
END { exit bad }
' || { echo "upward includes between engine folders"; exit 1; }
echo "engine folders include only lower floors"
