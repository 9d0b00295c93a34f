# Entry points: build the exe, run every test, run the wizard on the sample package.
.PHONY: setup build check demo clean

setup:
	@scripts/setup

build: setup
	cmake --preset x86 >/dev/null
	cmake --build --preset x86 -j2

check: build
	cmake --preset host >/dev/null
	cmake --build --preset host -j2
	ctest --preset host
	scripts/with-display ctest --preset x86

demo: build
	scripts/demo

clean:
	rm -rf build
