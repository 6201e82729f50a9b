#!/usr/bin/env bash
# Regenerates the README's pictures from the real binaries under a private Xvfb server: the
# demo's spring scene at start, its Bezier scene, its shear/scale scene after some shearing,
# and one picture of each example.
# Usage: scripts/readme-pictures.sh   (writes docs/images/*.png)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh pictures
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target engine first-scene spring-chain box-field pyramid \
    >/dev/null

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

# Starts a program (the demo by default) and waits until its window is up and focused.
start_engine() {
    local binary=${1:-build/engine} title=${2:-Engine}
    shift 2 || true
    "$binary" "$@" &
    engine_pid=$!
    for _ in $(seq 100); do
        window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1) && [[ -n "$window" ]] && break
        sleep 0.1
    done
    xdotool windowfocus "$window"
    sleep 1
}

stop_engine() {
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

snap() { import -window "$window" "docs/images/$1.png"; }

start_engine
snap spring-scene
stop_engine

start_engine
hold 1 0.1
hold 2 0.1
snap bezier-scene
stop_engine

start_engine
hold 1 0.1
hold 3 0.1
# With space held, S scales the group down and A shears it, one step at a time.
xdotool keydown space
hold s 0.1
hold a 0.02
xdotool keyup space
sleep 0.2
snap shear-scale-scene
stop_engine

# The examples: the first scene after a few moves and turns; the chain while it swings; the
# field of 1,000 boxes; the pyramid as a ball hits it.
start_engine build/examples/first-scene "First scene"
hold d 0.6
hold q 0.6
xdotool keydown space
hold a 0.2
xdotool keyup space
sleep 0.2
snap example-first-scene
stop_engine

start_engine build/examples/spring-chain "Spring chain"
sleep 1
snap example-spring-chain
stop_engine

start_engine build/examples/box-field "Box field" 1000
sleep 1
snap example-box-field
stop_engine

# The wall of boxes, just hit by a ball.
start_engine build/examples/pyramid "Pyramid"
hold space 0.1
sleep 0.4
snap example-pyramid
stop_engine

echo "Pictures written to docs/images/"
