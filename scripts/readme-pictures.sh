#!/usr/bin/env bash
# Regenerates the README's pictures from the real binaries under a private Xvfb server, with
# the engine's own options: -press sets a scene up with the keys a person would press,
# -screenshot FILE -screenshot-after N saves the picture after N frames and quits. The demo's
# spring scene at start, its Bezier scene, its shear/scale scene after some shearing, and one
# picture of each example; the same pictures every time.
# Usage: scripts/readme-pictures.sh   (writes docs/images/*.png)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh pictures
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target engine engine_examples >/dev/null

workdir=$(mktemp -d)
xvfb_pid=""
cleanup() {
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

# picture NAME FRAMES BINARY [ARGUMENTS...]: the program's window after FRAMES frames.
picture() {
    local name=$1 frames=$2 binary=$3
    shift 3
    "$binary" "$@" -screenshot "docs/images/$name.png" -screenshot-after "$frames" >/dev/null
}

picture spring-scene 30 build/engine
# Scene 1 off, scene 2 on.
picture bezier-scene 30 build/engine -press 1:5 -press 2:10
# Scene 1 off, scene 3 on; with space held, S scales the group down and A shears it, one
# step at a time.
picture shear-scale-scene 45 build/engine -press 1:5 -press 3:10 -press space:15-30 \
    -press s:16-21 -press a:23-24

# The examples: the first scene after a few moves and turns; the chain while it swings; the
# field of 1,000 boxes; the pyramid as a ball thrown at it hits.
picture example-first-scene 110 build/examples/first-scene -press d:5-39 -press q:40-74 \
    -press space:80-95 -press a:81-92
picture example-spring-chain 60 build/examples/spring-chain
picture example-box-field 60 build/examples/box-field 1000
picture example-pyramid 60 build/examples/pyramid -press space:10-11

echo "Pictures written to docs/images/"
