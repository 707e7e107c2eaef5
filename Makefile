# SPDX-License-Identifier: MIT
# make run: build and start the game.  make test: build and run every test.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test package bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/pegmarch

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	$(BUILD)/bench/bench_frame --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
	    --benchmark_out=$(BUILD)/bench.json --benchmark_out_format=json >/dev/null
	python3 bench/ratios.py $(BUILD)/bench.json

clean:
	rm -rf $(BUILD)
