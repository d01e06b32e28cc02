# TARVEX: the two commands a new machine needs are `make test` and `make run`;
# both install what is missing first.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

# Every Debian package the build, the tests and the benchmarks need.
PACKAGES := cmake ninja-build g++ pkg-config \
            libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev qt6-httpserver-dev qt6-websockets-dev libqrencode-dev \
            libsimpleini-dev libsqlite3-dev libboost-math-dev fonts-liberation \
            dpkg-dev desktop-file-utils lintian appstream man-db \
            poppler-utils qt6-translations-l10n xvfb clang-format chromium zbar-tools

# What tools/screenshots.sh needs besides the build: a display without a screen, a mouse and
# keyboard that a script drives, a camera, and the close request that a window manager would send.
SCREENSHOT_PACKAGES := xvfb xdotool imagemagick python3 python3-xlib

# Where `make install` puts the program, its menu entry and its icon.
PREFIX ?= /usr/local

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: deps configure build run test test-asan stress fuzz bench format clean install package screenshots screenshot-deps

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

screenshot-deps:
	$(MAKE) --no-print-directory deps PACKAGES="$(SCREENSHOT_PACKAGES)"

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# A first run offers a simulated chronograph in the port list, so shots arrive without one.
run: build
	./$(BUILD_DIR)/app/tarvex --simulate $(ARGS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, leaks included.
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(SANITIZE)"
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# The stress tests at full size: 100 unplugs, a million bytes of noise, 100,000 records.
stress: build
	TARVEX_STRESS=long ctest --test-dir $(BUILD_DIR) --output-on-failure --verbose -R '^StressTest\.'

# The fuzz targets of tests/fuzz/, built with clang's libFuzzer in build-fuzz (not by `make
# test`): each runs FUZZ_SECONDS on a copy of its seed corpus, inputs up to FUZZ_MAX_LEN bytes.
# A crash or a broken property stops the run and leaves the input in build-fuzz/findings/.
FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_SECONDS ?= 60
FUZZ_MAX_LEN ?= 16384
# The readers' files are rewritten for every input: a memory-backed folder keeps that fast.
FUZZ_TMPDIR ?= $(firstword $(wildcard /dev/shm) /tmp)
FUZZ_TARGETS := fuzz_line_reception fuzz_data_file fuzz_settings_file fuzz_port_settings \
                fuzz_import_file
fuzz: deps
	$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DTARVEX_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@for t in $(FUZZ_TARGETS); do \
	  echo "== $$t for $(FUZZ_SECONDS) s"; \
	  mkdir -p build-fuzz/corpus/$$t build-fuzz/findings/$$t && \
	  cp tests/fuzz/corpus/$$t/* build-fuzz/corpus/$$t/ && \
	  TMPDIR=$(FUZZ_TMPDIR) build-fuzz/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -max_len=$(FUZZ_MAX_LEN) \
	    -print_final_stats=1 -artifact_prefix=build-fuzz/findings/$$t/ \
	    build-fuzz/corpus/$$t || exit 1; \
	done

bench: build
	cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; $$b; done

# sudo only where the prefix (or the folder it will be made in) is not writable.
install: build
	@dir="$(PREFIX)"; while [ ! -e "$$dir" ]; do dir=$$(dirname "$$dir"); done; \
	if [ -w "$$dir" ]; then sudo=; else sudo="$(SUDO)"; fi; \
	$$sudo cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package, left in $(BUILD_DIR)/.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The README's pictures in docs/images/, taken under Xvfb.
screenshots: screenshot-deps build
	BUILD_DIR=$(BUILD_DIR) tools/screenshots.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
