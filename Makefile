# Two commands do everything on a fresh Debian or Ubuntu machine: `make run` and `make test`.
# Each target first installs the packages it needs (scripts/setup), and only those; NO_SETUP=1
# skips that where the packages come from elsewhere.
PRESET ?= debug
BUILD := build/$(PRESET)
SETUP := $(if $(NO_SETUP),:,scripts/setup)

.PHONY: all build run test test-asan fuzz bench install package screenshots check-format lint \
	format clean

all: build

# The tests' build: the debug preset with every test.
build:
	@$(SETUP) test
	@test -f $(BUILD)/build.ninja || cmake --preset $(PRESET)
	@cmake --build $(BUILD)

# An optimised build of the program alone, so playing needs none of the test tools.
run:
	@$(SETUP) run
	@test -f build/release/build.ninja || cmake --preset release
	@cmake --build build/release --target orvex
	build/release/app/orvex

# A run that finds no test fails, so a build without tests cannot pass for a tested one.
test: build
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j2

# Sanitizers: a short fuzz run first, then every test under ASan and UBSan.
test-asan: fuzz
	@test -f build/asan/build.ninja || cmake --preset asan
	@cmake --build build/asan
	ctest --preset asan

# The wave reader, the one file the program reads; its few branches need little time.
FUZZ_SECONDS ?= 20
fuzz:
	@$(SETUP) test
	@test -f build/fuzz/build.ninja || cmake --preset fuzz
	@cmake --build build/fuzz
	tests/fuzz/run_fuzz build/fuzz/tests/fuzz/orvex_wav_fuzz $(FUZZ_SECONDS)

# Benchmarks from a Release build, each figure against its target, as a table and in
# build/bench/results.json. Not a test: a missed target does not fail the run.
bench:
	@$(SETUP) bench
	@test -f build/bench/build.ninja || cmake --preset bench
	@cmake --build build/bench --target orvex_benchmarks
	bench/run_bench build/bench

# Installs into PREFIX: lib/orvex holds the program with its sound, bin/orvex links to it.
PREFIX ?= /usr/local
install:
	@$(SETUP) run
	@test -f build/release/build.ninja || cmake --preset release
	@cmake --build build/release
	cmake --install build/release --prefix $(PREFIX)

# A Debian package from an optimised build with Debian's hardening flags: build/package/orvex_*.deb.
package:
	@$(SETUP) package
	@test -f build/package/build.ninja || { export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
		CXXFLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
		LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
		cmake --preset release -B build/package; }
	@cmake --build build/package --target package

# The README's pictures, taken from the real program on a private X server, into docs/.
screenshots:
	@$(SETUP) screenshots
	@test -f build/release/build.ninja || cmake --preset release
	@cmake --build build/release
	scripts/screenshots build/release/app/orvex docs

# Formatting, then clang-tidy (.clang-tidy) over the project's own sources with the build's compile
# commands; generated Qt sources are left out.
TIDY_FILES := ^$(CURDIR)/(app|bench|src|tests|tools)/
check-format:
	@$(SETUP) lint
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

lint: build check-format
	run-clang-tidy -quiet -j 2 -p $(BUILD) -header-filter='$(TIDY_FILES)' '$(TIDY_FILES)'

format:
	@$(SETUP) lint
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i

clean:
	rm -rf build
