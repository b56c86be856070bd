#!/bin/sh
# Starts the player from the build folder; until the player window exists it
# says what it would start.
BUILD=${1:-build}
if [ -x "$BUILD/player/vorlan" ]; then
    exec "$BUILD/player/vorlan"
fi
echo "run: the player window is not built yet; it would start: $BUILD/player/vorlan"
echo "run: built so far: $(cd "$BUILD" && find . -maxdepth 2 -type f -perm -u+x -name 'vorlan*' | sed 's|^\./||' | tr '\n' ' ')"
