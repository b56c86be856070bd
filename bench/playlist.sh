#!/bin/sh
# The playlist with 10,000 entries: loading and saving an M3U list, loading it as PLS, a 64 MiB one-line list,
# selecting all entries in the playlist window, sorting them and exporting them as HTML (goal: select-all
# under 50 ms).
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
OURS="$BUILD/bench/vorlan-playlist-bench"
[ -x "$OURS" ] || { echo "playlist.sh: $OURS is not built" >&2; exit 1; }
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT INT TERM
fi
QT_QPA_PLATFORM=offscreen "$OURS" "$ROOT/tests/fixtures/mpeg1-layer3-tagged.mp3"
