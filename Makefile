# Thin wrapper around CMake. `make run` and `make check` are the two commands
# the README gives for a fresh Debian 12 machine.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps deps-run configure build run check bench clean

all: build

# What building and testing need; deps-run only what building and running do.
deps:
	./scripts/install-deps.sh test

deps-run:
	./scripts/install-deps.sh run

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRESK_BUILD_TESTS=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Installs what running needs, builds the viewer and treskdump only, and
# starts the viewer in examples/ so the open-file dialog shows the sample cut
# lists. A build folder made without the test packages is configured without
# the tests; one configured already is used as it is.
run: deps-run
	./scripts/run-viewer.sh --check-display
	test -f $(BUILD)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRESK_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target treskviewer treskdump
	./scripts/run-viewer.sh $(BUILD)

# Installs what is missing, builds, and runs every test (GUI tests on a
# virtual X display).
check: deps build
	./scripts/run-tests.sh $(BUILD)

bench:
	./scripts/install-deps.sh ci
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTRESK_BUILD_BENCH=ON -DTRESK_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	./scripts/run-bench.sh $(BUILD)-bench

clean:
	rm -rf $(BUILD) $(BUILD)-bench
