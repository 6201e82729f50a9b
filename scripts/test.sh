#!/usr/bin/env bash
# Builds the engine twice (optimised, and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs every test of both builds under a private, invisible X server. The fuzzer runs on
# one core meanwhile: the end-to-end tests take turns at the X server's focus and leave the
# other core mostly idle.
#
# Usage: scripts/test.sh              every stage (what `make test` and CI run)
#        scripts/test.sh --stress N   the GL and end-to-end tests of both builds, N rounds,
#                                     with every core kept busy; reports each test that failed
#
# Stages: build, unit, GL, end-to-end, fuzz (where clang exists), sanitizer. The log of a
# failing stage stays in build/test-logs/, and the last line printed names the failing stages,
# so a red run explains itself.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
logs=$root/build/test-logs

stress_rounds=0
case "${1:-}" in
    "") ;;
    --stress)
        stress_rounds=${2:-}
        if ! [[ "$stress_rounds" =~ ^[1-9][0-9]*$ ]]; then
            echo "usage: $0 [--stress ROUNDS]" >&2
            exit 2
        fi
        ;;
    *)
        echo "usage: $0 [--stress ROUNDS]" >&2
        exit 2
        ;;
esac

xvfb_pid=""
load_pids=()
workdir=$(mktemp -d)
cleanup() {
    local pid
    for pid in "${load_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    if [[ -n "${fuzz_pid:-}" ]]; then
        kill "$fuzz_pid" 2>/dev/null || true
    fi
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

failed_stages=()
passed_stages=()

# The verdict, always the last line: the stages that passed, or those that failed.
finish() {
    if [[ ${#failed_stages[@]} -eq 0 ]]; then
        local names
        names=$(printf '%s, ' "${passed_stages[@]}")
        echo "== PASSED: ${names%, }"
        exit 0
    fi
    local names
    names=$(printf '%s, ' "${failed_stages[@]}")
    echo "== FAILED stage: ${names%, } (logs in ${logs#"$root"/}/)"
    exit 1
}

# Runs one stage with its output on the console and in build/test-logs/NAME.log. The log is
# kept only when the stage fails.
stage() {
    local name=$1
    shift
    local log="$logs/$name.log"
    echo "== Stage $name: $*"
    if "$@" 2>&1 | tee "$log"; then
        rm -f "$log"
        passed_stages+=("$name")
        return 0
    fi
    echo "== Stage $name FAILED; its log: ${log#"$root"/}"
    failed_stages+=("$name")
    return 1
}

mkdir -p "$logs"
rm -f "$logs"/*.log

build_all() {
    scripts/deps.sh test &&
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENGINE_TESTS=ON \
            -DENGINE_BENCHMARKS=ON &&
        cmake --build build -j "$jobs" &&
        cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DENGINE_SANITIZE=ON -DENGINE_TESTS=ON \
            -DENGINE_BENCHMARKS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON &&
        cmake --build build-asan -j "$jobs" || return 1
    # The fuzz target needs clang and is only part of the full run.
    if [[ $stress_rounds -eq 0 ]] && command -v clang++ >/dev/null; then
        cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_COMPILER=clang++ -DENGINE_FUZZ=ON &&
            cmake --build build-fuzz -j "$jobs" --target engine_fuzz
    fi
}
stage build build_all || finish

# A private X server, so the tests neither need a desktop nor disturb one. It picks a free
# display number itself and writes it to the file once it accepts connections. -noreset:
# by default the server resets whenever its last client leaves, and a test connecting at
# that moment is refused.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$workdir/display" \
        2>"$workdir/xvfb.log" &
    xvfb_pid=$!
    local _
    for _ in $(seq 100); do
        [[ $(wc -l <"$workdir/display") -ge 1 ]] && break
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "Xvfb failed to start:"
            cat "$workdir/xvfb.log"
            return 1
        fi
        sleep 0.1
    done
    local display_number
    display_number=$(tr -d '[:space:]' <"$workdir/display")
    if [[ -z "$display_number" ]]; then
        echo "Xvfb did not report a display number within 10 seconds"
        cat "$workdir/xvfb.log"
        return 1
    fi
    export DISPLAY=":$display_number"
    # Software rendering gives the same pixels on every machine, with or without a GPU.
    export LIBGL_ALWAYS_SOFTWARE=1
    echo "== Xvfb on $DISPLAY"
}
if ! start_xvfb; then
    failed_stages+=("Xvfb")
    finish
fi

# ctest on one build directory. Tests labelled gl and e2e draw; every other label (unit,
# alloc, and any added later) runs in the unit stage, so no test is left out.
optimised_tests() {
    ctest --test-dir build --output-on-failure -j 2 --timeout 120 "$@"
}
sanitizer_tests() {
    ASAN_OPTIONS=detect_leaks=1:strict_init_order=1:check_initialization_order=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp:print_suppressions=0" \
        ctest --test-dir build-asan --output-on-failure -j 2 --timeout 180 "$@"
}

# Random key sequences against the demo scene, with coverage guidance, in the background while
# the tests run. Its budget is a number of inputs (what a minute of fuzzing tries on an idle
# machine), so sharing the machine costs it time rather than inputs; the time limit only ends
# a fuzzer that has slowed down for good. New inputs go to a scratch corpus; the repo's seed
# corpus stays as it is. The fuzzer's own output is long: it goes to the stage's log, and the
# console gets the summary.
fuzz_runs=6000
fuzz_pid=""
start_fuzz() {
    echo "== Stage fuzz started: $fuzz_runs inputs to build-fuzz/tests/fuzz/engine_fuzz (clang," \
        "libFuzzer, ASan + UBSan) while the tests run"
    mkdir -p "$workdir/corpus"
    build-fuzz/tests/fuzz/engine_fuzz -runs="$fuzz_runs" -max_total_time=180 -print_final_stats=1 \
        -artifact_prefix="$root/build-fuzz/" "$workdir/corpus" tests/fuzz/corpus \
        >"$logs/fuzz.log" 2>&1 &
    fuzz_pid=$!
}
finish_fuzz() {
    local log="$logs/fuzz.log"
    echo "== Stage fuzz: waiting for the fuzzer"
    wait "$fuzz_pid"
    local status=$?
    fuzz_pid=""
    if [[ $status -eq 0 ]]; then
        grep -E "^Done|^stat::" "$log"
        rm -f "$log"
        passed_stages+=("fuzz")
        return 0
    fi
    tail -n 60 "$log"
    failed_stages+=("fuzz")
    echo "== Stage fuzz FAILED; its log: ${log#"$root"/}"
    local input
    for input in $(sed -n 's/.*Test unit written to \([^ ]*\).*/\1/p' "$log"); do
        echo "== Fuzzing found a fault. Saved input: $input"
        echo "== Replay it with: $root/build-fuzz/tests/fuzz/engine_fuzz $input"
    done
}

# Busy loops on every core, stopped by the trap on any exit.
start_load() {
    local _
    for _ in $(seq "$jobs"); do
        (while :; do :; done) &
        load_pids+=($!)
    done
    echo "== Load: $jobs busy loops (pids ${load_pids[*]})"
}

# The GL and end-to-end tests of both builds, round after round under load. Every test that
# fails in a round is counted; the log of each failing round is kept.
stress() {
    declare -A failures=()
    local round dir log name
    start_load
    for round in $(seq "$stress_rounds"); do
        for dir in build build-asan; do
            log="$logs/stress-$dir-round$round.log"
            local started=$SECONDS
            if [[ $dir == build ]]; then
                optimised_tests -L '^(gl|e2e)$' >"$log" 2>&1
            else
                sanitizer_tests -L '^(gl|e2e)$' >"$log" 2>&1
            fi
            local summary
            summary=$(grep -E "tests passed|No tests were found" "$log" || echo "no ctest summary")
            echo "== Round $round/$stress_rounds, $dir/ ($((SECONDS - started)) s): $summary"
            # ctest lists them as "  12 - Suite.Name (Failed)".
            local found=0
            while read -r name; do
                [[ -z "$name" ]] && continue
                failures["$dir $name"]=$((${failures["$dir $name"]:-0} + 1))
                found=1
                echo "   failed: $name"
            done < <(sed -n '/The following tests FAILED:/,$ s/^[[:space:]]*[0-9]\+ - \([^ ]*\) (.*/\1/p' "$log")
            if [[ $found -eq 0 ]] && grep -q "tests passed" "$log"; then
                rm -f "$log"
            elif [[ $found -eq 0 ]]; then
                failures["$dir (ctest did not finish: see ${log#"$root"/})"]=1
            fi
        done
    done
    echo "== Stress: $stress_rounds rounds of the GL and end-to-end tests in build/ and" \
        "build-asan/, $jobs busy loops running"
    if [[ ${#failures[@]} -eq 0 ]]; then
        echo "== No test failed"
        return 0
    fi
    echo "== Tests that failed at least once (build, test: rounds failed of $stress_rounds):"
    for name in "${!failures[@]}"; do
        echo "   $name: ${failures[$name]}"
    done | sort
    return 1
}

if [[ $stress_rounds -gt 0 ]]; then
    if stress; then
        passed_stages+=("stress ($stress_rounds rounds under load, both builds, no failure)")
    else
        failed_stages+=("stress")
    fi
    finish
fi

if command -v clang++ >/dev/null; then
    start_fuzz
else
    echo "== No clang: the fuzz stage is skipped"
fi
stage unit optimised_tests -LE '^(gl|e2e)$'
stage GL optimised_tests -L '^gl$'
stage end-to-end optimised_tests -L '^e2e$'
stage sanitizer sanitizer_tests
if [[ -n "$fuzz_pid" ]]; then
    finish_fuzz
fi
finish
