#!/bin/sh
# Decoding a 5-minute 128 kbit/s song to WAV through the player's decoder, next to mpg123 -w on the same file,
# with all sound settings neutral and with the equalizer on; and the CPU time per second of audio.
set -e
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# Something music-like: a chord over pink noise, changing every few seconds.
sox -n -r 44100 -c 2 -b 16 "$WORK/song.wav" synth 300 pinknoise vol 0.2 : synth 300 sine 220 sine 277 vol 0.3 2>/dev/null \
  || sox -n -r 44100 -c 2 -b 16 "$WORK/song.wav" synth 300 pinknoise vol 0.3
lame --quiet -b 128 "$WORK/song.wav" "$WORK/song.mp3"
rm -f "$WORK/song.wav"

best() { # best of three wall times of a command printing nothing useful
    b=
    for i in 1 2 3; do
        s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
    done
    echo "$b"
}
ours_best() { # best of three of our wall time, and the CPU time of that run
    b=; c=
    for i in 1 2 3; do
        line=$("$BUILD/bench/vorlan-decode-bench" "$@" "$WORK/song.mp3" "$WORK/ours.wav")
        w=$(echo "$line" | sed 's/.*wall=\([0-9.]*\).*/\1/')
        cpu=$(echo "$line" | sed 's/.*cpu=\([0-9.]*\).*/\1/')
        if [ -z "$b" ] || [ "$(echo "$w < $b" | bc -l)" = 1 ]; then b=$w; c=$cpu; fi
    done
    echo "$b $c"
}
peer=$(best mpg123 -q -w "$WORK/peer.wav" "$WORK/song.mp3")
set -- $(ours_best); ours=$1; cpu=$2
set -- $(ours_best --eq); ours_eq=$1
printf 'BENCH decode_neutral ours=%.4f peer=%.4f ratio=%.3f peer_name=mpg123\n' "$ours" "$peer" "$(echo "$ours / $peer" | bc -l)"
printf 'BENCH decode_equalizer ours=%.4f peer=%.4f ratio=%.3f peer_name=mpg123\n' "$ours_eq" "$peer" "$(echo "$ours_eq / $peer" | bc -l)"
printf 'BENCH decode_cpu_per_audio_second value=%.3f unit=ms\n' "$(echo "$cpu * 1000 / 300" | bc -l)"
