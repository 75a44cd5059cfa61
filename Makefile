# The two everyday commands: `make run` builds and runs the tipping example, `make test` builds and
# runs every test (warnings are errors). `make asan` runs the tests under the sanitizers.
.PHONY: run test asan tools clean

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

clean:
	rm -rf build
