# The two everyday commands: `make run` builds and runs the tipping example, `make test` builds and
# runs every test (warnings are errors). `make asan` runs the tests under the sanitizers, `make fuzz`
# fuzzes the definition reader for FUZZ_SECONDS seconds (clang, libFuzzer, sanitizers).
.PHONY: run test asan fuzz tools clean

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

fuzz: tools
	cmake --preset fuzz
	cmake --build --preset fuzz --target fuzz_reader
	mkdir -p build/fuzz/corpus
	./build/fuzz/fuzz/fuzz_reader -max_total_time=$(FUZZ_SECONDS) -timeout=1 -max_len=4096 \
	  -dict=fuzz/reader.dict -print_final_stats=1 build/fuzz/corpus fuzz/corpus

clean:
	rm -rf build
