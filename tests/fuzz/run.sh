#!/bin/sh
# Runs every fuzz target for a set time: run.sh <build folder> <seconds per target> [target...]
# With FUZZ_RUNS=<n> in the environment each target runs for n executions instead (no time limit).
# Seeds come from tests/fixtures (the audio files) and tests/fixtures/fuzz/<target>; what a run finds is kept
# in <build>/fuzz-corpus. Prints one line per target:
#   FUZZ <target> execs=<executions> seconds=<s> result=clean|CRASH [<artifact>]
# and exits 1 when a target crashed (its input is in <build>/fuzz-artifacts; turn it into a test).
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=$1
TIME=${2:-60}
shift 2 2>/dev/null || shift $#
TARGETS=${*:-"mpeg template profile lists mask statistics colorlist equalizer icy animation lock classic region ffmpeg flac ogg cover filetags"}
SEEDS="$ROOT/tests/fixtures/fuzz"
ARTIFACTS="$BUILD/fuzz-artifacts"
mkdir -p "$ARTIFACTS"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    # The folder made here goes when the run ends.
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for t in $TARGETS; do
    corpus="$BUILD/fuzz-corpus/$t"
    mkdir -p "$corpus"
    seeds="$SEEDS/$t"
    [ "$t" = mpeg ] && seeds="$ROOT/tests/fixtures"
    log="$BUILD/fuzz-$t.log"
    # Audio needs room for a few frames and a tag; the text files are found out with less.
    # (a mask is read key by key, each key looked for through the whole file: smaller inputs keep it fast).
    maxlen=16384
    [ "$t" = mpeg ] && maxlen=65536
    [ "$t" = mask ] && maxlen=4096
    limit="-max_total_time=$TIME"
    [ -n "${FUZZ_RUNS:-}" ] && limit="-runs=$FUZZ_RUNS"
    "$BUILD/tests/fuzz/fuzz_$t" $limit -print_final_stats=1 -rss_limit_mb=2048 \
        -max_len=$maxlen -artifact_prefix="$ARTIFACTS/$t-" "$corpus" "$seeds" >"$log" 2>&1
    rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    secs=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    if [ $rc -eq 0 ]; then
        echo "FUZZ $t execs=${execs:-0} per_second=${secs:-0} max_len=$maxlen result=clean"
    else
        artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
        echo "FUZZ $t execs=${execs:-?} result=CRASH ${artifact:-see $log}"
        status=1
    fi
done
exit $status
