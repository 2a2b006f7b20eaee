#!/bin/sh
# Installs every Debian package Grazlo needs to build, test and run.
# Idempotent: the package index is refreshed only when something is missing.
set -eu

PACKAGES="
build-essential
cmake
ccache
pkg-config
qt6-base-dev
qt6-base-dev-tools
libqt6opengl6-dev
qt6-translations-l10n
libqscintilla2-qt6-dev
libqscintilla2-qt6-l10n
qt6-svg-dev
libcurl4-openssl-dev
libgtest-dev
libgmock-dev
libbenchmark-dev
fonts-liberation2
fonts-dejavu-core
valgrind
xvfb
openbox
xauth
xdotool
imagemagick
desktop-file-utils
appstream
shared-mime-info
clang-format
chromium
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
    # shellcheck disable=SC2086
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi
