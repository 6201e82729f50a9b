#!/usr/bin/env bash
# Starts the demo, or explains how when there is no X display to open a window on.
set -euo pipefail
if [[ -z "${DISPLAY:-}" ]]; then
    echo "No X display: the demo opens a window. Run it on a desktop, or headless with:" >&2
    echo "    xvfb-run -s '-screen 0 1280x1024x24' $1" >&2
    exit 1
fi
exec "$@"
