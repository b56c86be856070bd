#!/bin/sh
# Installs the Debian packages that building, testing and benchmarking Vorlan need.
# Only missing packages are installed; running it again does nothing.
set -eu

PACKAGES="
build-essential cmake pkg-config
qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
libmpg123-dev libout123-0 libsyn123-0 mpg123
libcurl4-openssl-dev libtag1-dev
clang libclang-rt-14-dev
xvfb xauth imagemagick fonts-dejavu-core
lame ffmpeg sox mp3info pulseaudio poppler-utils bc
shared-mime-info desktop-file-utils
playerctl dbus-daemon dbus-bin appstream
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: every package is installed"
    exit 0
fi

echo "install-deps: installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "install-deps: need root or sudo to install:$missing" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
echo "install-deps: done"
