# The two commands: `make run` and `make test`. Each does its own set-up first (Debian packages,
# npm packages), so both work on a fresh Debian 12 machine as root.
JOBS ?= $(shell nproc)
RELEASE := build/release
E2E := build/e2e
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: setup build run test test-host test-web bench fuzz test-asan test-tsan windows test-windows format clean

setup:
	@scripts/setup-system
	@scripts/setup-web

# The shipped launcher: build/release/launcher.
build: setup
	@cmake -S . -B $(RELEASE) $(CMAKE_FLAGS) -DLAUNCHER_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

run: build
	@scripts/run-launcher

# The test build (build/e2e): every C++ suite and a launcher that WebKitWebDriver may drive, its
# update and report endpoints pointed at the loopback servers of the tests (build/e2e-fixtures).
test-host: setup
	@scripts/e2e-fixtures $(E2E) $(CMAKE_FLAGS) -DLAUNCHER_TESTS=ON -DLAUNCHER_AUTOMATION=ON >/dev/null
	@cmake --build $(E2E) -j $(JOBS)
	@scripts/with-display ctest --test-dir $(E2E) --output-on-failure -j 2

test-web: setup
	@npm --prefix web test --silent
	@npm --prefix web run test:browser --silent

test: test-host test-web test-windows

bench: build
	@scripts/with-display bench/run

# libFuzzer targets (fuzz/), built with clang in build/fuzz, each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: setup
	@scripts/setup-system fuzz
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz

# The C++ unit suites under AddressSanitizer + UndefinedBehaviorSanitizer, and under ThreadSanitizer.
test-asan: setup
	@scripts/test-sanitized asan

test-tsan: setup
	@scripts/test-sanitized tsan

# The Windows x64 cross build (build/windows) and its suites under wine; docs/windows.md says what
# it covers so far.
WINDOWS := build/windows
windows:
	@scripts/setup-windows
	@cmake -S . -B $(WINDOWS) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/host/cmake/toolchains/mingw-w64-x86_64.cmake \
	  -DLAUNCHER_WINDOWS_PREFIX=$(CURDIR)/build/windows-deps/prefix -DLAUNCHER_WEB_BUILD=OFF >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)

test-windows: windows
	@scripts/test-windows $(WINDOWS)

clean:
	rm -rf build web/dist

# The C and C++ sources in the house style of .clang-format.
format:
	@git ls-files '*.c' '*.cpp' '*.h' '*.hpp' | xargs clang-format -i
