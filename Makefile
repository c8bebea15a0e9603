# Thin wrapper around CMake. `make run` and `make check` are the two commands
# the README gives for a fresh Debian 12 machine.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run check bench clean

all: build

deps:
	./scripts/install-deps.sh

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Installs what is missing, builds, and starts the viewer in examples/ so the
# open-file dialog shows the sample cut lists.
run: deps build
	./scripts/run-viewer.sh $(BUILD)

# Installs what is missing, builds, and runs every test (GUI tests on a
# virtual X display).
check: deps build
	./scripts/run-tests.sh $(BUILD)

bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTRESK_BUILD_BENCH=ON -DTRESK_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	./scripts/run-bench.sh $(BUILD)-bench

clean:
	rm -rf $(BUILD) $(BUILD)-bench
