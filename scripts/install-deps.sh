#!/bin/sh
# Installs the Debian packages that building, testing and benchmarking Vorlan need.
# Only missing packages are installed; running it again does nothing.
set -eu

PACKAGES="
build-essential cmake pkg-config
qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
libmpg123-dev libout123-0 libsyn123-0 mpg123
libcurl4-openssl-dev libtag1-dev libzip-dev
clang libclang-rt-14-dev
xvfb xauth imagemagick fonts-dejavu-core xdotool libx11-dev
lame ffmpeg sox mp3info pulseaudio pulseaudio-utils poppler-utils bc
libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libflac-dev libopusfile-dev libvorbis-dev flac opus-tools vorbis-tools wavpack
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

# Another package manager (often an update running in the background) may hold the package locks: wait for
# it, up to VORLAN_APT_LOCK_WAIT seconds (10 minutes unless set), instead of failing at once.
LOCK_WAIT=${VORLAN_APT_LOCK_WAIT:-600}
LOCK_POLL=${VORLAN_APT_LOCK_POLL:-5}
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

apt_get() {
    waited=0
    while :; do
        if $SUDO apt-get -o DPkg::Lock::Timeout="$LOCK_POLL" "$@" 2>"$errors"; then
            cat "$errors" >&2
            return 0
        fi
        if grep -qi "lock" "$errors" && [ "$waited" -lt "$LOCK_WAIT" ]; then
            echo "install-deps: another package manager is busy; waiting for it ($waited s so far)" >&2
            sleep "$LOCK_POLL"
            waited=$((waited + LOCK_POLL + 1))
            continue
        fi
        cat "$errors" >&2
        return 1
    done
}

export DEBIAN_FRONTEND=noninteractive
apt_get update -q
# shellcheck disable=SC2086
apt_get install -y -q --no-install-recommends $missing
echo "install-deps: done"
