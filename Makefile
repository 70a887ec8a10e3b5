# Velmora: the two set-up commands are `make test` and `make demo`; both install
# what is missing, build, and run. `make dist` puts the release zip in dist/.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
DEPS_FILE := $(BUILD_DIR)/deps.cmake
TEST_ENV := scripts/with-test-env.sh
VERSION := $(shell cat VERSION)

.PHONY: all setup deps configure build test bench demo run dist clean

all: build

setup:
	@scripts/setup-system.sh

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
	@$(TEST_ENV) ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

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
	rm -rf $(BUILD_DIR)
