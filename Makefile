# Two commands set everything up on a fresh Debian 12 machine:
#   make run    installs missing packages, builds, prepares the demo data, starts torvex
#   make check  installs missing packages, builds the sanitizer test build, runs every test

PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
            libsqlite3-dev sqlite3 zlib1g-dev libtomlplusplus-dev tmux procps binutils python3 python3-pyte \
            clang libclang-rt-14-dev clang-format
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)

RELEASE := build/release
CHECK := build/check

.PHONY: run check deps build bench fuzz clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	fi

$(RELEASE)/build.ninja: | deps
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVEX_TESTS=OFF

build: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS)

run: build
	cmake --build $(RELEASE) --target demo_world
	cd $(RELEASE)/demo && ../shell/torvex torvex.ini

$(CHECK)/build.ninja: | deps
	cmake -S . -B $(CHECK) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTORVEX_SANITIZE=ON \
	  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"

check: deps $(CHECK)/build.ninja
	cmake --build $(CHECK) -j $(JOBS)
	cd $(CHECK) && ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@for b in $(RELEASE)/bench/*_bench; do echo "== $$b"; $$b; done

# Coverage-guided fuzzing with clang's libFuzzer: make fuzz FUZZ=<target> [SECONDS=60]
FUZZ_BUILD := build/fuzz
SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTORVEX_LIBFUZZER=ON -DTORVEX_TESTS=OFF -DTORVEX_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ)
	$(FUZZ_BUILD)/fuzz/$(FUZZ) -max_total_time=$(SECONDS) fuzz/corpus/$(FUZZ)

clean:
	rm -rf build
