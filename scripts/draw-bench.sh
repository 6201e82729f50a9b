#!/usr/bin/env bash
# Runs the draw benchmark (bench/draw/DrawBench.cpp): the box field's frame against a bare
# draw of the same primitives. It needs an X display: the current one when DISPLAY is set,
# otherwise a private Xvfb with Mesa's software renderer; without either it says so and skips.
# Usage: scripts/draw-bench.sh BINARY [benchmark options...]
set -euo pipefail
binary=$1
shift
if [[ -n "${DISPLAY:-}" ]]; then
    exec "$binary" "$@"
fi
if ! command -v xvfb-run >/dev/null; then
    echo "No X display and no xvfb-run: the draw benchmark is skipped (apt-get install xvfb)"
    exit 0
fi
LIBGL_ALWAYS_SOFTWARE=1 exec xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten tcp' \
    "$binary" "$@"
