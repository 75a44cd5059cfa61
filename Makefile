# The two everyday commands: `make run` builds and runs the tipping example, `make test` builds and
# runs every test (warnings are errors). `make asan` runs the tests under the address and
# undefined-behaviour sanitizers, `make tsan` under the thread sanitizer.
.PHONY: run test asan tsan tools clean

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

tsan: tools
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan

clean:
	rm -rf build
