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

wall() { # wall seconds of a command, from its start to its end, its output in $WORK/out
    # Every run writes a new file (freeing the 100 MB of the last one costs more than writing them), and
    # what the last run wrote goes to the disk before this run, not during it.
    rm -f "$WORK/peer.wav" "$WORK/ours.wav"
    sync
    s=$(date +%s.%N); "$@" >"$WORK/out" 2>/dev/null; e=$(date +%s.%N)
    echo "$e - $s" | bc -l
}
lower() { # lower <current> <new>
    if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi
}
# Best of five, the three programs taking turns, so a machine that speeds up or slows down during the run
# weighs on all three alike. Every program is timed the same way, from its start to its end; our CPU time
# is the decoder's, from our best neutral run.
peer=; ours=; cpu=; ours_eq=
for i in 1 2 3 4 5; do
    peer=$(lower "$peer" "$(wall mpg123 -q -w "$WORK/peer.wav" "$WORK/song.mp3")")
    w=$(wall "$BUILD/bench/vorlan-decode-bench" "$WORK/song.mp3" "$WORK/ours.wav")
    if [ -z "$ours" ] || [ "$(echo "$w < $ours" | bc -l)" = 1 ]; then
        ours=$w
        cpu=$(sed 's/.*cpu=\([0-9.]*\).*/\1/' "$WORK/out")
    fi
    ours_eq=$(lower "$ours_eq" "$(wall "$BUILD/bench/vorlan-decode-bench" --eq "$WORK/song.mp3" "$WORK/ours.wav")")
done
printf 'BENCH decode_neutral ours=%.4f peer=%.4f ratio=%.3f peer_name=mpg123\n' "$ours" "$peer" "$(echo "$ours / $peer" | bc -l)"
printf 'BENCH decode_equalizer ours=%.4f peer=%.4f ratio=%.3f peer_name=mpg123\n' "$ours_eq" "$peer" "$(echo "$ours_eq / $peer" | bc -l)"
printf 'BENCH decode_cpu_per_audio_second value=%.3f unit=ms\n' "$(echo "$cpu * 1000 / 300" | bc -l)"
