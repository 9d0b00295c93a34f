# Entry points: build the exes, run every test, make a release, run the wizard on a driver package, check one.
.PHONY: setup build check lint release demo check-package bench clean

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
	scripts/check-reproducible
	cmake --preset host >/dev/null
	cmake --build --preset host -j2
	ctest --preset host
	scripts/with-display ctest --preset x86
	scripts/with-display ctest --preset x64
	scripts/with-display scripts/check-release

# The signing settings reach scripts/release from make's command line; a wrong set stops before the build.
export SIGN_PKCS11_MODULE SIGN_PKCS11_KEY SIGN_CERT SIGN_PIN_FILE SIGN_PKCS12 SIGN_PASSWORD_FILE SIGN_TIMESTAMP_URL
release:
	@scripts/release --check-settings
	@$(MAKE) --no-print-directory build
	scripts/release

demo: build
	scripts/demo "$(PACKAGE)"

check-package: build
	scripts/check-package "$(PACKAGE)"

bench: build
	scripts/bench x86

clean:
	rm -rf build
