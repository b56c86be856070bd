#!/bin/sh
# Makes the demo songs the player offers on its first start: short tunes of sine notes, tagged.
# Needs sox and lame; the results are committed.
set -e
cd "$(dirname "$0")"
W=$(mktemp -d)
trap 'rm -rf "$W"' EXIT

tune() { # name title notes...
    name=$1; title=$2; shift 2
    i=0
    for n in "$@"; do
        i=$((i + 1))
        sox -n -r 44100 -c 2 -b 16 "$W/n$i.wav" synth 0.35 pluck "$n" fade 0 0.35 0.1 vol 0.6
    done
    sox "$W"/n*.wav "$W/$name.wav"
    rm -f "$W"/n*.wav
    lame --quiet -b 96 --resample 44.1 --tt "$title" --ta "Vorlan" --tl "Demo Songs" --ty 2026 --tg Other \
        "$W/$name.wav" "$name.mp3"
}
tune demo-1 "Morning Scale" C4 D4 E4 F4 G4 A4 B4 C5 B4 A4 G4 F4 E4 D4 C4 C4
tune demo-2 "Little Arpeggio" C4 E4 G4 C5 A3 C4 E4 A4 F3 A3 C4 F4 G3 B3 D4 G4 C4 E4 G4 C5
tune demo-3 "Goodbye Tune" E5 D5 C5 D5 E5 E5 E5 D5 D5 D5 E5 G5 G5 E5 D5 C5 D5 E5 E5 E5 E5 D5 D5 E5 D5 C5
