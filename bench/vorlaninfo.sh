#!/bin/sh
# vorlaninfo against mp3info: both read 2,000 small MP3 files in one call each (half of them behind a 4 KiB
# ID3v2 block, so the header search has to slide), best of 3 runs each.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
OURS="$BUILD/tags/vorlaninfo"
FIXTURE="$ROOT/tests/fixtures/mpeg1-layer3-tagged.mp3"

[ -x "$OURS" ] || { echo "vorlaninfo.sh: $OURS is not built" >&2; exit 1; }
command -v mp3info >/dev/null 2>&1 || { echo "vorlaninfo.sh: mp3info is missing" >&2; exit 1; }

DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT INT TERM

perl -e 'my ($fixture, $dir) = @ARGV;
    open(my $in, "<:raw", $fixture) or die "$fixture: $!"; local $/; my $audio = <$in>; close $in;
    # ID3v2.3 header (size 4086, synchsafe) and a TIT2 frame, padded with zeros to 4096 bytes.
    my $title = "\0bench";
    my $body = "TIT2" . pack("N", length $title) . "\0\0" . $title;
    $body .= "\0" x (4086 - length $body);
    my $n = length $body;
    my $id3v2 = "ID3\x03\x00\x00" . pack("C4", ($n >> 21) & 127, ($n >> 14) & 127, ($n >> 7) & 127, $n & 127) . $body;
    for my $i (1 .. 2000) {
        open(my $out, ">:raw", sprintf("%s/f%04d.mp3", $dir, $i)) or die $!;
        print $out ($i % 2 ? $id3v2 : ""), $audio;
        close $out;
    }' "$FIXTURE" "$DIR"

set -- "$DIR"/f*.mp3

now() { date +%s.%N; }
# best_of3 <command...>: the shortest wall time of three runs, in seconds.
best_of3() {
    best=""
    for run in 1 2 3; do
        t0=$(now)
        "$@" >/dev/null 2>&1 || true
        t1=$(now)
        best=$(awk -v a="$t0" -v b="$t1" -v best="$best" 'BEGIN { d = b - a; if (best == "" || d < best) best = d; printf "%.4f", best }')
    done
    echo "$best"
}

ours=$(best_of3 "$OURS" "$@")
peer=$(best_of3 mp3info -p "%f\t%v\t%L\t%r\t%Q\t%o\t%m:%02s\n" "$@")
ratio=$(awk -v o="$ours" -v p="$peer" 'BEGIN { printf "%.3f", (p > 0 ? o / p : 0) }')
echo "BENCH vorlaninfo ours=$ours peer=$peer ratio=$ratio peer_name=mp3info"
