#!/bin/sh
# Installs every Debian package that building, running and testing Postmoor needs.
# Idempotent and non-interactive; run as root (or through sudo) on Debian 12.
set -eu

PACKAGES="
build-essential
cmake
ninja-build
pkg-config
libsqlite3-dev
libicu-dev
libfmt-dev
libgtest-dev
libgmock-dev
qt6-base-dev
qt6-qpa-plugins
libqt6opengl6-dev
libpff-dev
xvfb
xauth
fonts-dejavu-core
poppler-utils
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: all packages present"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
