# SPDX-License-Identifier: MIT
# Lumo: the two everyday commands are `make run` and `make test`.
BUILD       ?= build
ASAN_BUILD  ?= build-asan
FUZZ_BUILD  ?= build-fuzz
BENCH_BUILD ?= build-bench
PACKAGE_BUILD ?= build-package
WINDOWS_BUILD ?= build-windows
PREFIX      ?= /usr/local
JOBS        ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE_FLAGS := -G Ninja -DLUMO_WERROR=ON
# The everyday tree: optimised, with line tables only (backtraces and the debugger still
# name file and line); full debug information made a quarter of its build time.
BUILD_FLAGS := $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"

.PHONY: all deps build run test test-asan bench fuzz install package screenshots \
        windows-configure windows test-windows clean

all: build

# scripts/install-deps installs what the named set needs on top of what building the
# program needs; with no set, only the latter.
deps:
	@scripts/install-deps

# Everything: the program, lumo-cli, the tests and the demo archives.
build:
	@scripts/install-deps test
	cmake -S . -B $(BUILD) $(BUILD_FLAGS) -DLUMO_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

# Only the program, lumo-cli and the demo archives; the tests wait for `make test`.
run:
	@scripts/install-deps
	cmake -S . -B $(BUILD) $(BUILD_FLAGS) -DLUMO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target lumo lumo-cli lumo_demo
	@scripts/run-lumo $(BUILD)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# make install PREFIX=$$HOME/.local  (DESTDIR is honoured for staged installs)
install:
	@scripts/install-deps
	cmake -S . -B $(BUILD) $(BUILD_FLAGS) -DLUMO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target lumo lumo-cli
	cmake --install $(BUILD) --prefix $(PREFIX)

# A .deb in $(PACKAGE_BUILD)/, built in Release from its own build folder.
package:
	@scripts/install-deps package
	cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DLUMO_TESTS=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target lumo lumo-cli
	cd $(PACKAGE_BUILD) && cpack -G DEB

# The README's pictures, taken of the real window under Xvfb at scales 1, 1.5 and 2.
screenshots:
	@scripts/install-deps view
	cmake -S . -B $(BUILD) $(BUILD_FLAGS) -DLUMO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target lumo lumo_demo
	scripts/screenshots $(BUILD)

test-asan:
	@scripts/install-deps test
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DLUMO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench:
	@scripts/install-deps bench
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DLUMO_BENCH=ON -DLUMO_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do \
	    if [ -f "$$b" ] && [ -x "$$b" ]; then QT_QPA_PLATFORM=offscreen "$$b" || exit 1; fi; \
	done

fuzz:
	@scripts/install-deps fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DLUMO_FUZZ=ON -DLUMO_GUI=OFF -DLUMO_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/fuzz-short $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS)

# lumo-cli.exe and the Qt-free libraries for 64-bit Windows, cross-compiled with
# mingw-w64; the DLLs it needs are copied next to it.
windows-configure:
	@scripts/install-deps windows
	cmake -S . -B $(WINDOWS_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DLUMO_GUI=OFF

windows: windows-configure
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target lumo-cli
	@echo "Windows build: $(WINDOWS_BUILD)/cli/lumo-cli.exe and its DLLs"

# The Qt-free tests and the CLI tests of the Windows build, run under Wine.
test-windows: windows-configure
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(PACKAGE_BUILD) $(WINDOWS_BUILD)
