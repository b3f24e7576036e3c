# The two jobs of the README: `make run` converts the bundled samples, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test bench clean

deps:
	./scripts/setup-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run-samples.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# `make bench`: the speed and memory of a conversion against its floor (see scripts/bench.sh), in a
# Release build of its own without the windows (loading Qt would be timed, not the conversion);
# build-bench/bench/kartwerk_bench holds the per-writer benchmarks.
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKARTWERK_GUI=OFF -DKARTWERK_BENCH=ON -DKARTWERK_TESTS=OFF >/dev/null
	cmake --build build-bench -j $(JOBS) --target kartwerk make_bench_maps conversion_floor measure_run kartwerk_bench
	./scripts/bench.sh build-bench

clean:
	rm -rf $(BUILD)
