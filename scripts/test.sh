#!/usr/bin/env bash
# Builds the engine twice (optimised, and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs every test of both builds under a private, invisible X server.
# Usage: scripts/test.sh        (what `make test` and CI run)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/deps.sh test

echo "== Building build/ (RelWithDebInfo)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENGINE_TESTS=ON -DENGINE_BENCHMARKS=ON
cmake --build build -j "$jobs"

echo "== Building build-asan/ (Debug, ASan + UBSan)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DENGINE_SANITIZE=ON -DENGINE_TESTS=ON \
    -DENGINE_BENCHMARKS=ON
cmake --build build-asan -j "$jobs"

# A private X server, so the tests neither need a desktop nor disturb one. It picks a free
# display number itself and writes it to the file once it accepts connections. -noreset:
# by default the server resets whenever its last client leaves, and a test connecting at
# that moment is refused.
xvfb_pid=""
workdir=$(mktemp -d)
cleanup() {
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$workdir/display" \
    2>"$workdir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ $(wc -l <"$workdir/display") -ge 1 ]] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "Xvfb failed to start:" >&2
        cat "$workdir/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
display_number=$(tr -d '[:space:]' <"$workdir/display")
if [[ -z "$display_number" ]]; then
    echo "Xvfb did not report a display number within 10 seconds" >&2
    cat "$workdir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$display_number"
# Software rendering gives the same pixels on every machine, with or without a GPU.
export LIBGL_ALWAYS_SOFTWARE=1
echo "== Xvfb on $DISPLAY"

status=0

echo "== Tests: build/"
ctest --test-dir build --output-on-failure -j 2 --timeout 120 || status=1

# Random key sequences against the demo scene, with coverage guidance, where clang exists.
# New inputs go to a scratch corpus; the repo's seed corpus stays as it is.
if command -v clang++ >/dev/null; then
    echo "== Fuzzing the demo scene for 60 s (build-fuzz/: clang, libFuzzer, ASan + UBSan)"
    cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DENGINE_FUZZ=ON
    cmake --build build-fuzz -j "$jobs" --target engine_fuzz
    mkdir -p "$workdir/corpus"
    build-fuzz/tests/fuzz/engine_fuzz -max_total_time=60 -print_final_stats=1 \
        -artifact_prefix="$root/build-fuzz/" "$workdir/corpus" tests/fuzz/corpus 2>"$workdir/fuzz.log" ||
        { cat "$workdir/fuzz.log" >&2; echo "== Fuzzing found a fault; input saved in build-fuzz/" >&2; status=1; }
    grep -E "^Done|^stat::" "$workdir/fuzz.log" || true
else
    echo "== No clang: the fuzz run is skipped"
fi

echo "== Tests: build-asan/"
ASAN_OPTIONS=detect_leaks=1:strict_init_order=1:check_initialization_order=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp:print_suppressions=0" \
    ctest --test-dir build-asan --output-on-failure -j 2 --timeout 180 || status=1

if [[ $status -ne 0 ]]; then
    echo "== FAILED: see the failing tests above" >&2
fi
exit $status
