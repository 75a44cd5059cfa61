# The two everyday commands: `make run` builds and runs the tipping example, `make test` builds and
# runs every test (warnings are errors). `make asan` runs the tests under the sanitizers,
# `make install PREFIX=...` installs the library, `make consumer` builds a host against an install,
# `make fuzz` fuzzes the definition language (reading, printing back, evaluating expressions) and
# the system and rule texts (reading, printing back, compiled against the object path), for
# FUZZ_SECONDS seconds in all, half each (clang, libFuzzer, sanitizers).
PREFIX ?= /usr/local
CONSUMER ?= build/consumer
.PHONY: run test asan install consumer fuzz tools clean

FUZZ_SECONDS ?= 60

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

fuzz: tools
	cmake --preset fuzz
	cmake --build --preset fuzz --target fuzz_reader fuzz_system
	mkdir -p build/fuzz/corpus build/fuzz/system_corpus
	./build/fuzz/fuzz/fuzz_reader -max_total_time=$$(($(FUZZ_SECONDS) / 2)) -timeout=1 -max_len=4096 \
	  -dict=fuzz/reader.dict -print_final_stats=1 build/fuzz/corpus fuzz/corpus
	./build/fuzz/fuzz/fuzz_system -max_total_time=$$(($(FUZZ_SECONDS) - $(FUZZ_SECONDS) / 2)) -timeout=1 \
	  -max_len=4096 -dict=fuzz/system.dict -print_final_stats=1 build/fuzz/system_corpus fuzz/system_corpus

clean:
	rm -rf build
