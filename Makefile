# Front door of the project: `make`, `make test`, `make run`, `make install`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local/qor_cc

.PHONY: all deps configure build test run install clean

all: build

deps:
	@scripts/setup-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/demo $(BUILD_DIR)/stage

install: build
	mkdir -p $(PREFIX)
	cp -R $(BUILD_DIR)/stage/. $(PREFIX)/

clean:
	rm -rf $(BUILD_DIR)
