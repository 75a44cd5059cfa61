# The two everyday commands: `make run` builds and runs the tipping example, `make test` builds and
# runs every test (warnings are errors). `make asan` runs the tests under the sanitizers,
# `make install PREFIX=...` installs the library, `make consumer` builds a host against an install.
PREFIX ?= /usr/local
CONSUMER ?= build/consumer

.PHONY: run test asan install consumer tools clean

tools:
	@./.ci/install-tools

run: tools
	cmake --preset release >/dev/null
	cmake --build --preset release --target tipping_example
	./build/release/examples/tipping_example

test: tools
	cmake --preset ci
	cmake --build --preset ci
	ctest --preset ci

asan: tools
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# Builds the library in Release and installs it (headers, libraries, package config) under PREFIX.
install: tools
	cmake --preset package >/dev/null
	cmake --build --preset package
	cmake --install build/package --prefix $(PREFIX)

# Installs into a scratch prefix and builds and runs a host program against it with find_package.
consumer:
	$(MAKE) install PREFIX=$(abspath $(CONSUMER))/prefix
	cmake -S tests/consumer -B $(CONSUMER)/build -G Ninja -DCMAKE_PREFIX_PATH=$(abspath $(CONSUMER))/prefix >/dev/null
	cmake --build $(CONSUMER)/build
	$(CONSUMER)/build/consumer

clean:
	rm -rf build
