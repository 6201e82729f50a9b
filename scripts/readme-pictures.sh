#!/usr/bin/env bash
# Regenerates the README's pictures from the real binaries under a private Xvfb server, with
# the engine's own pictures (-screenshot FILE -screenshot-after N, and F12): the demo's spring
# scene at start, its Bezier scene, its shear/scale scene after some shearing, and one picture
# of each example. xdotool presses the keys that set a scene up.
# Usage: scripts/readme-pictures.sh   (writes docs/images/*.png)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh pictures
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target engine engine_examples >/dev/null

workdir=$(mktemp -d)
xvfb_pid=""
engine_pid=""
cleanup() {
    [[ -n "$engine_pid" ]] && kill "$engine_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$workdir/display" \
    2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s "$workdir/display" ]] && break
    sleep 0.1
done
export DISPLAY=":$(tr -d '[:space:]' <"$workdir/display")"
export LIBGL_ALWAYS_SOFTWARE=1
mkdir -p docs/images

# A scene that needs no keys: the program saves its picture after N frames and quits.
picture_after() {
    local name=$1 frames=$2 binary=$3
    shift 3
    "$binary" "$@" -screenshot "docs/images/$name.png" -screenshot-after "$frames" >/dev/null
}

# Starts a program (the demo by default), its pictures going to docs/images/NAME.png, and
# waits until its window is up and focused.
start_engine() {
    local name=$1 binary=${2:-build/engine} title=${3:-Engine}
    shift $(($# < 3 ? $# : 3))
    "$binary" "$@" -screenshot "docs/images/$name.png" >/dev/null &
    engine_pid=$!
    for _ in $(seq 100); do
        window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1) && [[ -n "$window" ]] && break
        sleep 0.1
    done
    xdotool windowfocus "$window"
    sleep 1
}

# F12 saves the picture; Esc quits once it is written.
snap_and_stop() {
    rm -f "docs/images/$1.png"
    xdotool key F12
    for _ in $(seq 100); do
        [[ -s "docs/images/$1.png" ]] && break
        sleep 0.1
    done
    xdotool keydown Escape
    wait "$engine_pid" || true
    xdotool keyup Escape
    engine_pid=""
}

# Holds a key for a while; the demo polls keys once per 17 ms step.
hold() {
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
    sleep 0.1
}

picture_after spring-scene 30 build/engine

start_engine bezier-scene
hold 1 0.1
hold 2 0.1
snap_and_stop bezier-scene

start_engine shear-scale-scene
hold 1 0.1
hold 3 0.1
# With space held, S scales the group down and A shears it, one step at a time.
xdotool keydown space
hold s 0.1
hold a 0.02
xdotool keyup space
sleep 0.2
snap_and_stop shear-scale-scene

# The examples: the first scene after a few moves and turns; the chain while it swings; the
# field of 1,000 boxes.
start_engine example-first-scene build/examples/first-scene "First scene"
hold d 0.6
hold q 0.6
xdotool keydown space
hold a 0.2
xdotool keyup space
sleep 0.2
snap_and_stop example-first-scene

picture_after example-spring-chain 60 build/examples/spring-chain
picture_after example-box-field 60 build/examples/box-field 1000

echo "Pictures written to docs/images/"
