#!/bin/sh
# Adding a folder tree of 10,000 small MP3 files (copies of a tagged fixture, 100 folders of 100 files, two
# levels deep) to an empty playlist through the add-files window's walk, next to mp3info reading the header and
# tag of the same files and find listing the tree. Best of 3 runs each; the first, untimed run warms the cache.
# Then the same with files that carry an ID3v2 tag and no ID3v1 tag (named through TagLib): addtree-id3v2.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
OURS="$BUILD/bench/vorlan-addtree-bench"

[ -x "$OURS" ] || { echo "addtree.sh: $OURS is not built" >&2; exit 1; }
command -v mp3info >/dev/null 2>&1 || { echo "addtree.sh: mp3info is missing" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT INT TERM

# The ID3v2-only fixture: an ID3v2.3 tag with artist and title in front of the untagged Layer III file.
ID3V2="$WORK/id3v2-only.mp3"
perl -e 'binmode STDOUT;
    my $frames = "";
    for my $f (["TPE1", "Bench Artist"], ["TIT2", "Bench Title"]) {
        my $data = "\0" . $f->[1];
        $frames .= $f->[0] . pack("N", length $data) . "\0\0" . $data;
    }
    $frames .= "\0" x 256;
    my $n = length $frames;
    print "ID3\x03\x00\x00" . pack("C4", ($n >> 21) & 127, ($n >> 14) & 127, ($n >> 7) & 127, $n & 127) . $frames;' >"$ID3V2"
cat "$ROOT/tests/fixtures/mpeg1-layer3.mp3" >>"$ID3V2"

# measure <fixture> <bench name>
measure() {
FIXTURE=$1
NAME=$2
DIR="$WORK/$NAME"
mkdir -p "$DIR"

perl -e 'my ($fixture, $dir) = @ARGV;
    open(my $in, "<:raw", $fixture) or die "$fixture: $!"; local $/; my $audio = <$in>; close $in;
    for my $i (0 .. 9999) {
        my $folder = sprintf("%s/artist%02d/album%02d", $dir, int($i / 1000), int($i / 100) % 10);
        mkdir sprintf("%s/artist%02d", $dir, int($i / 1000));
        mkdir $folder;
        open(my $out, ">:raw", sprintf("%s/track%05d.mp3", $folder, $i)) or die $!;
        print $out $audio;
        close $out;
    }' "$FIXTURE" "$DIR"

now() { date +%s.%N; }
# best_of3 <command...>: the shortest wall time of three runs, in seconds.
best_of3() {
    "$@" >/dev/null 2>&1 || true
    best=""
    for run in 1 2 3; do
        t0=$(now)
        "$@" >/dev/null 2>&1 || true
        t1=$(now)
        best=$(awk -v a="$t0" -v b="$t1" -v best="$best" 'BEGIN { d = b - a; if (best == "" || d < best) best = d; printf "%.4f", best }')
    done
    echo "$best"
}

# The walk must find every file, or the time means nothing.
result=$("$OURS" "$DIR")
case "$result" in
    entries=10000\ *) ;;
    *) echo "addtree.sh: the walk reported \"$result\"" >&2; exit 1 ;;
esac

# mp3info does not walk folders: it gets the names, listed beforehand and not timed, on its command line, in as
# few calls as xargs makes. Our time includes the walk.
find "$DIR" -type f -name '*.mp3' -print0 >"$DIR.list"
read_all() { xargs -0 mp3info -p "%f\t%v\t%L\t%r\t%Q\t%o\t%m:%02s\n" <"$DIR.list"; }
ours=$(best_of3 "$OURS" "$DIR")
peer=$(best_of3 read_all)
listing=$(best_of3 find "$DIR" -type f -name '*.mp3')
ratio=$(awk -v o="$ours" -v p="$peer" 'BEGIN { printf "%.3f", (p > 0 ? o / p : 0) }')
find_ratio=$(awk -v o="$ours" -v p="$listing" 'BEGIN { printf "%.3f", (p > 0 ? o / p : 0) }')
echo "BENCH $NAME ours=$ours peer=$peer ratio=$ratio peer_name=mp3info"
echo "BENCH $NAME-find ours=$ours peer=$listing ratio=$find_ratio peer_name=find"
stall=$("$OURS" "$DIR" | sed 's/.*longest_stall_ms=\([0-9.]*\).*/\1/')
echo "BENCH $NAME-ui-stall value=$stall unit=ms"
rm -rf "$DIR" "$DIR.list"
}

measure "$ROOT/tests/fixtures/mpeg1-layer3-tagged.mp3" addtree
measure "$ID3V2" addtree-id3v2
