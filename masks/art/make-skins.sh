#!/bin/sh
# Draws the player's built-in skin and the sample masks into masks/skins/ and lists them in masks/skins.qrc
# (the built-in skin) and masks/samples.qrc (the samples).
# The results are committed; run this again after changing the generator.
#   masks/art/make-skins.sh [build folder]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
out=$root/masks/skins

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j2 --target vorlan_skinart

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"

mkdir -p "$out"
rm -f "$out"/*.msk "$out"/*.bmp "$out"/*.gif
XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen "$build/masks/art/vorlan_skinart" "$out" "$work/frames"

# One GIF per skin from its numbered frames, looping for ever.
for first in "$work"/frames/*-anim-00.png; do
    prefix=$(basename "$first" -anim-00.png)
    convert -delay 9 -loop 0 "$work/frames/$prefix"-anim-*.png +dither -colors 96 "$out/$prefix-anim.gif"
done

# The built-in skin in the program, the sample masks in the module a first start loads.
qrc() { # qrc <file> <filter>
    {
        echo '<!DOCTYPE RCC><RCC version="1.0">'
        echo '<qresource prefix="/masks">'
        for f in $(cd "$out" && ls | LC_ALL=C sort | grep $2 -E '^(Vorlan\.msk|vorlan-)'); do
            echo "    <file alias=\"$f\">skins/$f</file>"
        done
        echo '</qresource>'
        echo '</RCC>'
    } >"$root/masks/$1"
}
qrc skins.qrc ''
qrc samples.qrc -v

ls -l "$out"
