# Thin wrappers over CMake and CTest; see README.md.
JOBS ?= $(shell nproc)

.PHONY: run build examples test bench clean

build:
	@scripts/deps.sh run
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS) --target engine

# The examples only (build/examples/): no demo, tests or benchmarks.
examples:
	@scripts/deps.sh run
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS) --target engine_examples

run: build
	@scripts/run.sh build/engine

test:
	@scripts/test.sh

bench:
	@scripts/deps.sh bench
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DENGINE_BENCHMARKS=ON
	cmake --build build-release -j $(JOBS) --target engine_bench engine_draw_bench
	build-release/bench/engine_bench --benchmark_filter=-AllPairsStep10k \
		--benchmark_repetitions=3 --benchmark_report_aggregates_only=true
	@scripts/draw-bench.sh build-release/bench/engine_draw_bench \
		--benchmark_repetitions=3 --benchmark_report_aggregates_only=true

clean:
	rm -rf build build-asan build-release build-fuzz
