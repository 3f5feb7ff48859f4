# The two commands a fresh machine needs: `make run` and `make test`.
# Everything else here is what they are made of.

JOBS ?= 2
FUZZ_SECONDS ?= 300
FUZZ_SMOKE_SECONDS ?= 30
FUZZ_TARGETS ?=

.PHONY: deps build run test test-default test-asan fuzz-smoke fuzz bench install-check package docs format format-check lint clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

run: build
	@scripts/run-testbed

test: build format-check
	scripts/check-layers
	cd build && ctest -L 'unit|pixel' --output-on-failure -j $(JOBS)
	cd build && ctest -L interop --output-on-failure -j $(JOBS)
	cd build && ctest -L e2e --output-on-failure
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory fuzz-smoke
	$(MAKE) --no-print-directory install-check

test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest -L 'unit|pixel' --output-on-failure -j $(JOBS)

# The fuzz targets share the sanitizer tree with the tests, so make test
# builds it once.
fuzz-smoke: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS) --target kzm-fuzz-all
	scripts/run-fuzz $(FUZZ_SMOKE_SECONDS) smoke

fuzz: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS) --target kzm-fuzz-all
	scripts/run-fuzz $(FUZZ_SECONDS) full $(FUZZ_TARGETS)

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	scripts/bench-table build-release/bin

# Installs the default build into a temporary prefix, builds and runs the
# examples against it, and checks the Debian package (scripts/check-install).
install-check: deps
	JOBS=$(JOBS) scripts/check-install

# build-package/kzm_<version>_<arch>.deb: shared libraries, headers, tools.
package: deps
	cmake --preset package >/dev/null
	cmake --build --preset package -j $(JOBS)
	cd build-package && cpack -G DEB

# The API reference from the public headers, into build/docs/html.
docs: deps
	cmake --preset default >/dev/null
	cmake --build --preset default --target docs

# The tracked C and C++ sources, for the style tools.
SOURCES = $(shell git ls-files '*.cpp' '*.h' '*.c')

format:
	clang-format -i $(SOURCES)

format-check:
	@clang-format --dry-run -Werror $(SOURCES)

# clang-tidy over every translation unit of the default build; clean means no
# finding (the checks are in .clang-tidy).
lint: build
	run-clang-tidy -p build -j $(JOBS) -quiet '$(CURDIR)/(core|image|platform|mapdata|render|sample|interop|app|tools)/'

clean:
	rm -rf build build-asan build-release build-package
