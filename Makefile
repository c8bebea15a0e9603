# Thin wrapper around CMake. scripts/run.sh and scripts/check.sh install the
# Debian packages once and then call `make run` and `make check`; those two
# targets only build and run, so on a machine that has the packages they do
# the same without the package step (`make deps` / `make deps-run` install
# them on their own).
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

# Builds the viewer and treskdump only, and starts the viewer in examples/ so
# the open-file dialog shows the sample cut lists. A build folder made here is
# configured without the tests; one configured already is used as it is.
run:
	./scripts/run-viewer.sh --check-display
	test -f $(BUILD)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRESK_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target treskviewer treskdump
	./scripts/run-viewer.sh $(BUILD)

# Builds everything and runs every test (GUI tests on a private Xvfb display).
check: build
	./scripts/run-tests.sh $(BUILD)

bench:
	./scripts/install-deps.sh ci
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTRESK_BUILD_BENCH=ON -DTRESK_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	./scripts/run-bench.sh $(BUILD)-bench

clean:
	rm -rf $(BUILD) $(BUILD)-bench
