# SPDX-License-Identifier: MIT
# make run: build and start the game.  make test: build and run every test.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps deps-run build run test test-sanitize fuzz package bench bench-idle bench-soak screenshots clean

all: build

# Everything the targets below need; deps-run only what building and running the game need.
deps:
	@bash scripts/install-deps.sh
deps-run:
	@bash scripts/install-deps.sh run

CONFIGURE = cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps
	@$(CONFIGURE) -DBUILD_TESTING=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The game alone, in the same folder: configured without the tests, which need Qt's
# private headers and more; the targets that need them configure them again.
run: deps-run
	@$(CONFIGURE) -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target pegmarch
	./$(BUILD)/pegmarch

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer (the package
# test builds its own package, the same with or without them: it runs in make test).
SANITIZE_BUILD ?= build-sanitize
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPEGMARCH_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && \
	    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    ctest --output-on-failure -j $(JOBS) -E e2e_package

# The text fuzz target, a long random run, for FUZZ_SECONDS on a scratch copy of its corpus.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
fuzz: deps
	@cmake -S bench/fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus && cp -n bench/fuzz/corpus/* $(FUZZ_BUILD)/corpus/
	$(FUZZ_BUILD)/fuzz_text -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $(FUZZ_BUILD)/corpus

bench-idle: build
	/usr/bin/python3 bench/idle.py $(BUILD)/pegmarch $(BUILD)/bench/bare_window

# The README's pictures and the metainfo's 16:9 ones, from the real game in Xvfb.
screenshots: build
	/usr/bin/python3 scripts/screenshots.py $(BUILD)/pegmarch

# The Debian package, built by debhelper in a copy of the tree: $(BUILD)/pegmarch_VERSION_ARCH.deb.
package: deps
	JOBS=$(JOBS) bash scripts/build-package.sh $(BUILD)

# Resident memory over a hundred thousand frames.
bench-soak: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/soak_memory

bench: build
	$(BUILD)/bench/bench_frame --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
	    --benchmark_report_aggregates_only=true \
	    --benchmark_out=$(BUILD)/bench.json --benchmark_out_format=json >/dev/null
	python3 bench/ratios.py $(BUILD)/bench.json

clean:
	rm -rf $(BUILD)
