# Velmora: the two set-up commands are `make test` and `make demo`; both install
# what is missing, build, and run. `make dist` puts the release zip in dist/.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
DEPS_FILE := $(BUILD_DIR)/deps.cmake
TEST_ENV := scripts/with-test-env.sh
# Tests mostly wait (on servers, timeouts, the program's windows), so more run
# at once than there are cores; those that start the program take one of the
# desks (scripts/with-test-env.sh).
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 3 )))
TEST_DESKS ?= 4
# Under QEMU's emulation (scripts/i386-emulation.sh) a Wine process now and
# then dies of an instruction the emulator mistranslated, or hangs on exit;
# there a failed test gets a second run. A native run gets one.
TEST_RETRY = $$(test -e /proc/sys/fs/binfmt_misc/velmora-i386 && echo --repeat until-pass:2)
# The suite as make test and make coverage run it; the build directory follows.
RUN_TESTS = env VELMORA_TEST_DESKS=$(TEST_DESKS) $(TEST_ENV) ctest --output-on-failure -j $(TEST_JOBS) $(TEST_RETRY) --test-dir
# make coverage builds with gcov counters here, apart from $(BUILD_DIR).
COVERAGE_DIR ?= build-coverage
VERSION := $(shell cat VERSION)

.PHONY: all setup deps configure build test coverage bench demo run dist clean

all: build

setup:
	@scripts/setup-system.sh
	@scripts/i386-emulation.sh

deps: setup
	@mkdir -p $(BUILD_DIR)
	@scripts/build-deps.sh $(abspath $(DEPS_FILE))
	@scripts/build-ffmpeg.sh $(abspath $(BUILD_DIR)/tools.cmake) >/dev/null

configure: deps
	@test -f $(BUILD_DIR)/CMakeCache.txt || cmake -S . -B $(BUILD_DIR) \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=Release \
		-DVELMORA_DEPS_FILE=$(abspath $(DEPS_FILE))

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@scripts/check-format.sh
	@$(RUN_TESTS) $(BUILD_DIR)

# Not part of make test: the suite again, on a build with gcov counters.
coverage:
	@$(MAKE) --no-print-directory deps BUILD_DIR=$(COVERAGE_DIR)
	@JOBS=$(JOBS) scripts/coverage.sh $(COVERAGE_DIR) $(RUN_TESTS) $(COVERAGE_DIR)

bench: build
	@$(TEST_ENV) cmake --build $(BUILD_DIR) --target bench

demo: build
	@scripts/demo.sh

run: build
	@scripts/run.sh

dist: build
	@mkdir -p dist
	@cp $(BUILD_DIR)/dist/Velmora-$(VERSION).zip dist/
	@echo dist/Velmora-$(VERSION).zip

clean:
	rm -rf $(BUILD_DIR) $(COVERAGE_DIR)
