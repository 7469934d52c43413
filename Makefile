# The two commands a newcomer needs: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: deps configure build test run bench install package test-asan test-tsan fuzz format lint clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKF_WERROR=ON $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run-klipfang $(BUILD)

bench: build
	@scripts/run-bench $(BUILD)

# The program, a launcher, a desktop entry and the icon under PREFIX (see README.md).
PREFIX ?= $(HOME)/.local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# klipfang_VERSION_ARCH.deb in this folder, for `sudo apt install ./klipfang_VERSION_ARCH.deb`.
package: build
	@rm -rf $(BUILD)/package
	cd $(BUILD) && cpack -B package
	@mv $(BUILD)/package/klipfang_*.deb .

# The whole suite once under AddressSanitizer and UndefinedBehaviorSanitizer. What the libraries we
# do not build need switched off is in scripts/asan-options and scripts/lsan-suppressions, with reasons.
test-asan: export ASAN_OPTIONS = $(shell grep -v '^\#' scripts/asan-options | paste -sd: -)
test-asan: export LSAN_OPTIONS = suppressions=$(CURDIR)/scripts/lsan-suppressions
test-asan: export UBSAN_OPTIONS = print_stacktrace=1
test-asan:
	$(MAKE) test BUILD=build-asan BUILD_TYPE=Debug CMAKE_FLAGS=-DKF_SANITIZE=ON

# The whole suite once under ThreadSanitizer: downloads, the picture fetch and the hand-over run
# threads of their own. What the libraries we do not build need is in scripts/tsan-suppressions, with
# reasons.
test-tsan: export TSAN_OPTIONS = suppressions=$(CURDIR)/scripts/tsan-suppressions second_deadlock_stack=1
test-tsan:
	$(MAKE) test BUILD=build-tsan CMAKE_FLAGS=-DKF_SANITIZE_THREAD=ON

# Each fuzz target for FUZZ_SECONDS over its seeds, in a clang build of its own.
FUZZ_SECONDS ?= 60
fuzz: deps
	@scripts/run-fuzz --build build-fuzz --seconds $(FUZZ_SECONDS)

# Formats every C++ source with the project's .clang-format; `make test` fails on a file that is not.
format: deps
	@scripts/format

# clang-tidy over our sources, with the build's compile commands (.clang-tidy says which checks).
lint: build
	@JOBS=$(JOBS) scripts/lint $(BUILD)

clean:
	rm -rf $(BUILD)
