# Entry points: build the exes, run every test, run the wizard on the sample package.
.PHONY: setup build check lint demo bench clean

setup:
	@scripts/setup

build: setup
	cmake --preset x86 >/dev/null
	cmake --build --preset x86 -j2
	cmake --preset x64 >/dev/null
	cmake --build --preset x64 -j2

lint: build
	scripts/check-layers
	scripts/lint

check: build lint
	cmake --preset host >/dev/null
	cmake --build --preset host -j2
	ctest --preset host
	scripts/with-display ctest --preset x86
	scripts/with-display ctest --preset x64

demo: build
	scripts/demo

bench: build
	scripts/bench x86

clean:
	rm -rf build
