#!/bin/sh
# From an equalizer slider move to the first changed sample the sound server plays (goal: under 250 ms).
# Runs a private PulseAudio server with a null sink; the benchmark records that sink's monitor.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
for tool in pulseaudio parec sox lame; do
    command -v "$tool" >/dev/null 2>&1 || { echo "equalizer.sh: $tool is missing" >&2; exit 1; }
done
WORK=$(mktemp -d)
PA_PID=
cleanup() {
    [ -n "$PA_PID" ] && kill "$PA_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --load=module-null-sink \
    --load="module-native-protocol-unix" >"$WORK/pulse.log" 2>&1 &
PA_PID=$!
i=0
until pactl info >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -lt 100 ] || { echo "equalizer.sh: the sound server does not start" >&2; exit 1; }
    sleep 0.1
done
sox -D -n -r 44100 -c 2 -b 16 "$WORK/tone.wav" synth 30 sine 1000 vol 0.2
lame --quiet -b 128 "$WORK/tone.wav" "$WORK/tone.mp3"
line=$("$BUILD/bench/vorlan-eq-latency-bench" "$WORK/tone.mp3")
max=$(echo "$line" | sed 's/.*max=\([0-9.]*\).*/\1/')
median=$(echo "$line" | sed 's/.*median=\([0-9.]*\).*/\1/')
printf 'BENCH equalizer_change_heard value=%s unit=ms\n' "$max"
printf 'BENCH equalizer_change_heard_median value=%s unit=ms\n' "$median"
