#!/bin/sh
# Makes the README's pictures of the player: the skinned window and the strip, each on a plain desktop, from
# a fresh player home under Xvfb.
#   sh scripts/screenshots.sh [build folder]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
OUT="$ROOT/docs"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT INT TERM
mkdir -p "$OUT" "$WORK/home" "$WORK/out"
cp "$ROOT/tests/fixtures/tone-3s-mono.mp3" "$WORK/Morning Tone.mp3"
printf '1\tMorning Tone\t00:03\t%s\r\n' "$WORK/Morning Tone.mp3" > "$WORK/home/Vorlan.vln"
convert -size 1280x800 gradient:'#4a6a8a'-'#c8d4de' "$WORK/desktop.png"

shot() { # shot <BackMask> <picture> <crop>
    printf '[Setting]\r\nBackMask=%s\r\nOutputModule=2\r\nOutPutDir=%s\r\nAutoPlay=0\r\nNail1=T\r\n' \
        "$1" "$WORK/out" > "$WORK/home/Vorlan.cfg"
    VORLAN_HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" \
        xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
            display -window root "$1"
            "$2" & p=$!
            xdotool search --sync --onlyvisible --name "^Vorlan\$" >/dev/null
            sleep 1.5
            import -window root "$3"
            kill $p; wait $p' sh "$WORK/desktop.png" "$BUILD/player/vorlan" "$WORK/shot.png" 2>/dev/null
    convert "$WORK/shot.png" -crop "$3" +repage "$OUT/$2"
}
shot 1 skinned.png 380x170+920+0
shot 0 strip.png 120x800+1160+0
echo "screenshots: $OUT/skinned.png $OUT/strip.png"
