#!/bin/sh
# The player against the floor of what a program costs here, measured in the same run (min of interleaved runs,
# under a private Xvfb and a private PulseAudio with a null sink, both started here and stopped by their PIDs):
#   startup     exec to the first X MapNotify of the player (the mask loader's progress window), against a
#               bare Qt Widgets window; startup_face the same to the player's face (the skinned window, shown
#               after the loader has flown off)
#   rss_idle    memory 3 s after start, nothing playing, against the bare window
#   rss_playing memory while playing, against the bare window (idle)
#   play_cpu    CPU per second of audio playing a 128 kbit/s MP3 through the sound server, against
#               mpg123 -o pulse on the same file; play_cpu_strip the same with the strip as the player's face
#   meters_window_cpu  CPU per second of the bare window with two level meters moving ten times a second and
#               nothing else (no sound), against mpg123 playing: what a Qt window with moving meters costs
#               here before the player does anything
#   play_wakeups context switches per second of all threads while playing, against mpg123 (ours/peer are
#               per second, not seconds)
#   first_sound ms from exec to the first sound handed to the sound server, for a file on the command line,
#               started right after another start as the startup lines are; first_sound_after_idle the same
#               after 15 s of mpg123 playing (on this machine any start after a few idle seconds takes about
#               twice as long, the bare window's too)
# BENCH_RUNS (5) start runs and BENCH_PLAY_RUNS (3) play runs of each program; BENCH_PLAY_SECONDS (15) measured.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
RUNS=${BENCH_RUNS:-5}
PLAY_RUNS=${BENCH_PLAY_RUNS:-3}
PLAY_SECONDS=${BENCH_PLAY_SECONDS:-15}
for tool in Xvfb pulseaudio pactl mpg123 sox lame bc; do
    command -v "$tool" >/dev/null 2>&1 || { echo "player.sh: $tool is missing" >&2; exit 1; }
done
PROBE="$BUILD/bench/vorlan-bench-probe"
BARE="$BUILD/bench/vorlan-bare-window"
SHIM="$BUILD/bench/libvorlan-first-sound.so"
VORLAN="$BUILD/player/vorlan"
for f in "$PROBE" "$BARE" "$SHIM" "$VORLAN"; do
    [ -e "$f" ] || { echo "player.sh: $f is not built" >&2; exit 1; }
done

WORK=$(mktemp -d)
PA_PID=
X_PID=
cleanup() {
    [ -n "$PA_PID" ] && kill "$PA_PID" 2>/dev/null || true
    [ -n "$X_PID" ] && kill "$X_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT HUP INT PIPE TERM

export XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --load=module-null-sink \
    --load="module-native-protocol-unix" >"$WORK/pulse.log" 2>&1 &
PA_PID=$!
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
X_PID=$!
i=0
until pactl info >/dev/null 2>&1 && [ -s "$WORK/display" ]; do
    i=$((i + 1))
    [ $i -lt 100 ] || { echo "player.sh: the sound server or Xvfb does not start" >&2; exit 1; }
    sleep 0.1
done
export DISPLAY=":$(cat "$WORK/display")"
unset QT_QPA_PLATFORM SESSION_MANAGER || true

# Something music-like, longer than a play run.
len=$((PLAY_SECONDS + 10))
sox -D -n -r 44100 -c 2 -b 16 "$WORK/song.wav" synth $len pinknoise vol 0.2 : synth $len sine 220 sine 277 vol 0.3 \
    2>/dev/null || sox -D -n -r 44100 -c 2 -b 16 "$WORK/song.wav" synth $len pinknoise vol 0.3
lame --quiet -b 128 "$WORK/song.wav" "$WORK/song.mp3"
rm -f "$WORK/song.wav"

export VORLAN_HOME="$WORK/home"
mkdir -p "$VORLAN_HOME"
config() { # config <BackMask>: a player that has run before, playing through the sound server
    printf '[Setting]\r\nBackMask=%s\r\nOutputModule=0\r\nAutoPlay=0\r\n' "$1" >"$VORLAN_HOME/Vorlan.cfg"
    printf '1\tsong\t00:%02d\t%s\r\n' "$len" "$WORK/song.mp3" >"$VORLAN_HOME/Vorlan.vln"
}
field() { echo "$1" | tr " " "\n" | sed -n "s/^$2=//p"; }
min() { # min <current> <new>: the smaller, ignoring missing (-1) values
    if [ "$2" = "-1.0" ] || [ "$2" = "-1" ]; then echo "$1"; elif [ -z "$1" ]; then echo "$2"; elif [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi
}

# The first start of each sets up its files and fills the caches: not measured.
config 1
"$PROBE" --window Bare --rss-at 1 -- "$BARE" >/dev/null
"$PROBE" --window Vorlan --rss-at 2 -- "$VORLAN" >/dev/null

bare_map=; bare_rss=; our_map=; our_first=; our_rss=; warm_sound=
for i in $(seq "$RUNS"); do
    line=$("$PROBE" --window Bare --rss-at 3 -- "$BARE")
    bare_map=$(min "$bare_map" "$(field "$line" map_ms)")
    bare_rss=$(min "$bare_rss" "$(field "$line" rss_kb)")
    config 1
    line=$("$PROBE" --window Vorlan --rss-at 3 -- "$VORLAN")
    our_map=$(min "$our_map" "$(field "$line" map_ms)")
    our_first=$(min "$our_first" "$(field "$line" first_map_ms)")
    our_rss=$(min "$our_rss" "$(field "$line" rss_kb)")
    config 1
    rm -f "$WORK/sound"
    VORLAN_BENCH_FIRST_SOUND="$WORK/sound" LD_PRELOAD="$SHIM" \
        "$PROBE" --window Vorlan --rss-at 1 -- "$VORLAN" "$WORK/song.mp3" >/dev/null
    [ -s "$WORK/sound" ] && warm_sound=$(min "$warm_sound" "$(cat "$WORK/sound")")
done

to=$((3 + PLAY_SECONDS))
peer_cpu=; peer_wake=; peer_sound=; our_cpu=; our_wake=; our_rss_play=; our_sound=; strip_cpu=; strip_wake=
meters_cpu=
for i in $(seq "$PLAY_RUNS"); do
    rm -f "$WORK/sound"
    line=$(VORLAN_BENCH_FIRST_SOUND="$WORK/sound" LD_PRELOAD="$SHIM" \
        "$PROBE" --from 3 --to $to -- mpg123 -q -o pulse "$WORK/song.mp3")
    peer_cpu=$(min "$peer_cpu" "$(field "$line" cpu_ms)")
    peer_wake=$(min "$peer_wake" "$(field "$line" wakeups)")
    [ -s "$WORK/sound" ] && peer_sound=$(min "$peer_sound" "$(cat "$WORK/sound")")
    config 1
    rm -f "$WORK/sound"
    line=$(VORLAN_BENCH_FIRST_SOUND="$WORK/sound" LD_PRELOAD="$SHIM" \
        "$PROBE" --window Vorlan --from 3 --to $to -- "$VORLAN" "$WORK/song.mp3")
    our_cpu=$(min "$our_cpu" "$(field "$line" cpu_ms)")
    our_wake=$(min "$our_wake" "$(field "$line" wakeups)")
    our_rss_play=$(min "$our_rss_play" "$(field "$line" rss_to_kb)")
    [ -s "$WORK/sound" ] && our_sound=$(min "$our_sound" "$(cat "$WORK/sound")")
    config 0
    line=$("$PROBE" --window Vorlan --from 3 --to $to -- "$VORLAN" "$WORK/song.mp3")
    strip_cpu=$(min "$strip_cpu" "$(field "$line" cpu_ms)")
    strip_wake=$(min "$strip_wake" "$(field "$line" wakeups)")
    line=$("$PROBE" --window Bare --from 3 --to $to -- "$BARE" --meters)
    meters_cpu=$(min "$meters_cpu" "$(field "$line" cpu_ms)")
done

ratio() { echo "$1 / $2" | bc -l; }
printf 'BENCH startup ours=%.4f peer=%.4f ratio=%.3f peer_name=bare-qt-window\n' \
    "$(echo "$our_first / 1000" | bc -l)" "$(echo "$bare_map / 1000" | bc -l)" "$(ratio "$our_first" "$bare_map")"
printf 'BENCH startup_face ours=%.4f peer=%.4f ratio=%.3f peer_name=bare-qt-window\n' \
    "$(echo "$our_map / 1000" | bc -l)" "$(echo "$bare_map / 1000" | bc -l)" "$(ratio "$our_map" "$bare_map")"
printf 'BENCH rss_idle ours=%.1f peer=%.1f ratio=%.3f peer_name=bare-qt-window\n' \
    "$(echo "$our_rss / 1024" | bc -l)" "$(echo "$bare_rss / 1024" | bc -l)" "$(ratio "$our_rss" "$bare_rss")"
printf 'BENCH rss_playing ours=%.1f peer=%.1f ratio=%.3f peer_name=bare-qt-window\n' \
    "$(echo "$our_rss_play / 1024" | bc -l)" "$(echo "$bare_rss / 1024" | bc -l)" "$(ratio "$our_rss_play" "$bare_rss")"
printf 'BENCH play_cpu ours=%.5f peer=%.5f ratio=%.3f peer_name=mpg123\n' \
    "$(echo "$our_cpu / 1000 / $PLAY_SECONDS" | bc -l)" "$(echo "$peer_cpu / 1000 / $PLAY_SECONDS" | bc -l)" \
    "$(ratio "$our_cpu" "$peer_cpu")"
printf 'BENCH play_cpu_strip ours=%.5f peer=%.5f ratio=%.3f peer_name=mpg123\n' \
    "$(echo "$strip_cpu / 1000 / $PLAY_SECONDS" | bc -l)" "$(echo "$peer_cpu / 1000 / $PLAY_SECONDS" | bc -l)" \
    "$(ratio "$strip_cpu" "$peer_cpu")"
printf 'BENCH meters_window_cpu ours=%.5f peer=%.5f ratio=%.3f peer_name=mpg123\n' \
    "$(echo "$meters_cpu / 1000 / $PLAY_SECONDS" | bc -l)" "$(echo "$peer_cpu / 1000 / $PLAY_SECONDS" | bc -l)" \
    "$(ratio "$meters_cpu" "$peer_cpu")"
printf 'BENCH play_wakeups ours=%.1f peer=%.1f ratio=%.3f peer_name=mpg123\n' \
    "$our_wake" "$peer_wake" "$(ratio "$our_wake" "$peer_wake")"
printf 'BENCH play_wakeups_strip ours=%.1f peer=%.1f ratio=%.3f peer_name=mpg123\n' \
    "$strip_wake" "$peer_wake" "$(ratio "$strip_wake" "$peer_wake")"
printf 'BENCH first_sound value=%s unit=ms\n' "${warm_sound:--1}"
printf 'BENCH first_sound_after_idle value=%s unit=ms\n' "${our_sound:--1}"
printf 'BENCH first_sound_mpg123 value=%s unit=ms\n' "${peer_sound:--1}"
