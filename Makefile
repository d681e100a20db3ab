# Two commands do everything on a fresh Debian or Ubuntu machine: `make run` and `make test`.
PRESET ?= debug
BUILD := build/$(PRESET)

.PHONY: all setup build run test test-asan fuzz bench install package screenshots lint format clean

all: build

setup:
	@scripts/setup

build: setup
	@test -f $(BUILD)/build.ninja || cmake --preset $(PRESET)
	@cmake --build $(BUILD)

run: build
	$(BUILD)/app/orvex

test: build
	cd $(BUILD) && ctest --output-on-failure -j2

# Sanitizers: a short fuzz run first, then every test under ASan and UBSan.
test-asan: setup fuzz
	@test -f build/asan/build.ninja || cmake --preset asan
	@cmake --build build/asan
	cd build/asan && ASAN_OPTIONS=halt_on_error=1:detect_leaks=0 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j2

FUZZ_SECONDS ?= 60
fuzz: setup
	@if command -v clang++ >/dev/null; then \
		test -f build/fuzz/build.ninja || cmake --preset fuzz; \
		cmake --build build/fuzz && \
		tests/fuzz/run_fuzz build/fuzz/tests/fuzz/orvex_fuzz $(FUZZ_SECONDS); \
	else echo "fuzz: clang++ not found, skipping the fuzz run"; fi

clean:
	rm -rf build
