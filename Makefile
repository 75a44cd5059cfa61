# The two everyday commands: `make run` builds the fuzzy program and runs the tipping system with
# its explanation (and writes the plot examples/tipping_system.svg), `make test`
# builds and runs every test (warnings are errors). `make asan` runs the tests under the address and
# undefined-behaviour sanitizers, `make tsan` under the thread sanitizer,
# `make install PREFIX=...` installs the library, `make consumer` builds a host against an install,
# `make fuzz` fuzzes the definition language (reading, printing back, evaluating expressions) and
# the system and rule texts (reading, printing back, compiled against the object path), for
# FUZZ_SECONDS seconds in all, half each (clang, libFuzzer, sanitizers).
PREFIX ?= /usr/local
CONSUMER ?= build/consumer
.PHONY: run test asan tsan install consumer fuzz tools clean

FUZZ_SECONDS ?= 60

tools:
	@./.ci/install-tools

# The inputs `make run` gives the tipping system. The test cli_readme_plot draws the same plot and
# compares it with the committed one.
TIPPING_INPUTS ?= service=3 food=8

run: tools
	cmake --preset release >/dev/null
	cmake --build --preset release --target fuzzy
	./build/release/tools/fuzzy run examples/tipping_system.fzs $(TIPPING_INPUTS) --explain
	./build/release/tools/fuzzy plot examples/tipping_system.fzs $(addprefix --run ,$(TIPPING_INPUTS)) \
	  -o examples/tipping_system.svg
	@echo "The plot is in examples/tipping_system.svg."

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

tsan: tools
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan

clean:
	rm -rf build
