#!/bin/sh
# Runs the benchmarks: every bench/<name>.sh, or only the one named.
# Each prints lines of the form
#   BENCH <name> ours=<s> peer=<s> ratio=<ours/peer> peer_name=<program>
#   BENCH <name> value=<number> unit=<unit>
set -e
BUILD=$(cd "${1:-build}" && pwd)
ONLY=$2
HERE=$(cd "$(dirname "$0")" && pwd)
export BUILD
for script in "$HERE"/*.sh; do
    name=$(basename "$script" .sh)
    [ "$name" = run ] && continue
    [ -n "$ONLY" ] && [ "$ONLY" != "$name" ] && continue
    sh "$script"
done
