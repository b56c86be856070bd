#!/bin/sh
# Decoding a 2-minute FLAC, Opus and M4A (AAC) song to WAV through the player's decoder, next to
# `ffmpeg -i X -f wav -` on the same file; and the memory the player holds playing an MP3, a FLAC and an Opus
# (none loads the FFmpeg module: FLAC has its own, on libFLAC, and Ogg Opus and Vorbis theirs).
set -e
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
sox -n -r 44100 -c 2 -b 16 "$WORK/song.wav" synth 120 pinknoise vol 0.2 : synth 120 sine 220 sine 277 vol 0.3 2>/dev/null \
  || sox -n -r 44100 -c 2 -b 16 "$WORK/song.wav" synth 120 pinknoise vol 0.3
flac --silent -o "$WORK/song.flac" "$WORK/song.wav"
opusenc --quiet "$WORK/song.wav" "$WORK/song.opus"
ffmpeg -v error -i "$WORK/song.wav" -c:a aac -b:a 128k "$WORK/song.m4a"
lame --quiet -b 128 "$WORK/song.wav" "$WORK/song.mp3"
rm -f "$WORK/song.wav"

wall() { # wall seconds of a command, from its start to its end, its output in $WORK/out
    rm -f "$WORK/ours.wav" "$WORK/out"
    sync
    s=$(date +%s.%N); "$@" >"$WORK/out" 2>/dev/null; e=$(date +%s.%N)
    echo "$e - $s" | bc -l
}
lower() { # lower <current> <new>
    if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi
}
field() { # field <name>: a value from our bench's last output line
    sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$WORK/out"
}
for kind in flac opus m4a; do
    # Best of five, taking turns; ffmpeg writes its WAV to a file as ours does.
    peer=; ours=
    for i in 1 2 3 4 5; do
        peer=$(lower "$peer" "$(wall ffmpeg -v error -i "$WORK/song.$kind" -f wav -)")
        ours=$(lower "$ours" "$(wall "$BUILD/bench/vorlan-decode-bench" "$WORK/song.$kind" "$WORK/ours.wav")")
    done
    printf 'BENCH decode_%s ours=%.4f peer=%.4f ratio=%.3f peer_name=ffmpeg\n' "$kind" "$ours" "$peer" "$(echo "$ours / $peer" | bc -l)"
done

"$BUILD/bench/vorlan-decode-bench" "$WORK/song.mp3" "$WORK/ours.wav" >"$WORK/out"
mp3=$(field rss_kb)
mapped=$(field ffmpeg)
"$BUILD/bench/vorlan-decode-bench" "$WORK/song.flac" "$WORK/ours.wav" >"$WORK/out"
flac=$(field rss_kb)
flacMapped=$(field ffmpeg)
"$BUILD/bench/vorlan-decode-bench" "$WORK/song.opus" "$WORK/ours.wav" >"$WORK/out"
opus=$(field rss_kb)
opusMapped=$(field ffmpeg)
printf 'BENCH rss_playing_mp3 value=%.1f unit=MB\n' "$(echo "$mp3 / 1024" | bc -l)"
printf 'BENCH ffmpeg_module_mapped_playing_mp3 value=%d unit=bool\n' "$mapped"
printf 'BENCH rss_playing_flac value=%.1f unit=MB\n' "$(echo "$flac / 1024" | bc -l)"
printf 'BENCH ffmpeg_module_mapped_playing_flac value=%d unit=bool\n' "$flacMapped"
printf 'BENCH rss_flac_over_mp3 value=%.1f unit=MB\n' "$(echo "($flac - $mp3) / 1024" | bc -l)"
printf 'BENCH rss_playing_opus value=%.1f unit=MB\n' "$(echo "$opus / 1024" | bc -l)"
printf 'BENCH ffmpeg_module_mapped_playing_opus value=%d unit=bool\n' "$opusMapped"
printf 'BENCH rss_opus_over_mp3 value=%.1f unit=MB\n' "$(echo "($opus - $mp3) / 1024" | bc -l)"
