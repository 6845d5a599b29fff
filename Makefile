# make        builds everything into build/ (the program: build/bin/Tarnwick.exe)
# make run    starts the program under Wine, with the virtual port beside it
# make test   builds and runs every test: first the native sanitized ones
#             (build/native), then the Windows builds' under Wine
# make fuzz   runs each fuzz target of the native build for FUZZ_SECONDS (60)
# make dist   makes the release zip build/dist/Tarnwick-<version>-win32.zip
# make bench  measures the panel against a bare window (build/bench.txt)
# Each target first installs whatever is missing (scripts/setup.sh).
SHELL := /bin/bash
export TARNWICK_RUN_ARCH := $(shell bash -c 'source scripts/platform.sh && echo $$TARNWICK_RUN_ARCH')
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all setup build build-run native native-test fuzz prefix run test test-32bit dist bench pictures clean

all: build

setup:
	@scripts/setup.sh

build: setup
	@mkdir -p build && cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTARNWICK_ARCH=i686 \
	    -DCMAKE_BUILD_TYPE=Release > build/cmake.log 2>&1 || { cat build/cmake.log; exit 1; }
	@cmake --build build -j $(JOBS)

# The build that runs on this machine: the product itself, or its x86_64
# twin where the kernel can't run 32-bit programs.
build-run: build
ifneq ($(TARNWICK_RUN_ARCH),i686)
	@cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTARNWICK_ARCH=x86_64 \
	    -DCMAKE_BUILD_TYPE=Release > build/x86_64.log 2>&1 || { cat build/x86_64.log; exit 1; }
	@cmake --build build/x86_64 -j $(JOBS)
endif

# The parts that need no Windows, built by the host's clang under the
# address and undefined-behaviour sanitizers, with their fuzz targets.
native: setup
	@mkdir -p build/native && cmake -S native -B build/native -DCMAKE_CXX_COMPILER=clang++ \
	    > build/native.log 2>&1 || { cat build/native.log; exit 1; }
	@cmake --build build/native -j $(JOBS)

# Their unit tests and a short run of each fuzz target, before the Wine tests.
native-test: native
	@rm -rf build/native/state && mkdir -p build/native/state
	@ctest --test-dir build/native --output-on-failure -j $(JOBS)

fuzz: native
	@scripts/fuzz.sh --seconds $(FUZZ_SECONDS)

prefix: setup
	@scripts/wine-prefix.sh

run: build-run prefix
	@scripts/run.sh

test: native-test build-run prefix
	@scripts/test.sh

# Every test of the 32-bit build under 32-bit Wine; on a kernel that can't
# run 32-bit programs, through qemu-user (needs root for binfmt_misc). The
# x86_64 build's console drives the port beside the emulated panel.
test-32bit: build-run
	@scripts/setup.sh --32bit
	@scripts/test-32bit.sh

# The panel against a bare Win32 window with the same duty, side by side.
bench: build-run prefix
	@scripts/bench.sh

dist: build
	@cmake --build build --target dist

pictures:
	python3 res/make_pictures.py
	python3 res/make_trace_picture.py docs/watch-example.vcd docs/watch-trace.png --span-us 10000

clean:
	rm -rf build
