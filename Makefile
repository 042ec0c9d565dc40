# Front door of the project: `make`, `make test`, `make run`, `make install`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local/qor_cc

.PHONY: all deps configure build test test-sanitize run install clean

all: build

deps:
	@scripts/setup-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The whole test suite against a separate build (build-sanitize) in which
# qor_cc, full_prepro and the tests are checked by the address (with leaks)
# and undefined-behaviour sanitizers; any report fails a test. The one leak
# left out is clang's: full_prepro removes clang's "#pragma clang __debug"
# handler, and clang hands the removed handler back to a caller that has
# no means to reach it.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_C_FLAGS="$(SANITIZE_FLAGS)" \
		-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@echo 'leak:clang::Preprocessor::RegisterBuiltinPragmas' >$(SANITIZE_DIR)/lsan.supp
	cd $(SANITIZE_DIR) && LSAN_OPTIONS=suppressions=$(abspath $(SANITIZE_DIR))/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/demo $(BUILD_DIR)/stage

install: build
	mkdir -p $(PREFIX)
	cp -R $(BUILD_DIR)/stage/. $(PREFIX)/

clean:
	rm -rf $(BUILD_DIR)
