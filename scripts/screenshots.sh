#!/bin/sh
# Makes the README's pictures of the player: the skinned window and the strip, each on a plain desktop, from
# a fresh player home under Xvfb; then the two sample classic skins of masks/art, imported and worn while a
# song plays on a PulseAudio null sink (so the time runs as it would for a user).
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

# The classic skins: drawn, then given on the command line as a user would, playing a song of two minutes.
cmake --build "$BUILD" --target vorlan_classicart >/dev/null
XDG_RUNTIME_DIR="$WORK" QT_QPA_PLATFORM=offscreen "$BUILD/masks/art/vorlan_classicart" "$WORK/skins"
ffmpeg -loglevel error -y -f lavfi -i "aevalsrc=0.7*sin(2*PI*220*t)*(0.6+0.4*sin(2*PI*0.5*t)):s=44100:d=120" \
    -ac 2 -metadata title="Evening Tide" -metadata artist="Vorlan Demo" -id3v2_version 3 -b:a 128k \
    "$WORK/tide.mp3"
classic() { # classic <skin> <picture>
    rm -rf "$WORK/home/Masks" "$WORK/runtime"
    mkdir -m 700 "$WORK/runtime"
    printf '1\tVorlan Demo - Evening Tide\t02:00\t%s\r\n' "$WORK/tide.mp3" > "$WORK/home/Vorlan.vln"
    printf '[Setting]\r\nBackMask=1\r\nOutputModule=0\r\nAutoPlay=0\r\nLoop=1\r\n' > "$WORK/home/Vorlan.cfg"
    VORLAN_HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" \
        XDG_RUNTIME_DIR="$WORK/runtime" xvfb-run -a -s "-screen 0 1280x800x24 -noreset" sh -c '
            pulseaudio -D --exit-idle-time=-1 --disallow-exit -n --load=module-null-sink \
                --load=module-native-protocol-unix
            display -window root "$1"
            "$2" "$4" & p=$!
            xdotool search --sync --onlyvisible --name "^Vorlan\$" >/dev/null
            sleep 3
            xdotool mousemove 990 97 click 1
            sleep 11.5
            import -window root "$3"
            kill $p; wait $p
            pulseaudio --kill' sh "$WORK/desktop.png" "$BUILD/player/vorlan" "$WORK/shot.png" "$1" 2>/dev/null
    convert "$WORK/shot.png" -crop 283x120+936+0 +repage -scale 200% "$OUT/$2"
}
classic "$WORK/skins/Slate.wsz" classic-slate.png
classic "$WORK/skins/Copper.wsz" classic-copper.png
echo "screenshots: $OUT/skinned.png $OUT/strip.png $OUT/classic-slate.png $OUT/classic-copper.png"
