#!/bin/sh
# The window outline of a 400 x 300 ragged background (goal: a few milliseconds), against Qt's bitmap region.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
OURS="$BUILD/bench/vorlan-shape-bench"
[ -x "$OURS" ] || { echo "shape.sh: $OURS is not built" >&2; exit 1; }
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT INT TERM
fi
QT_QPA_PLATFORM=offscreen "$OURS"
