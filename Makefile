# make test: installs what is missing, builds and runs every test.
# make run:  installs what is missing, builds and starts the window.
PRESET ?= release

.PHONY: all deps configure build test run asan fuzz bench package install clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

test: build
	@ctest --preset $(PRESET)

run: build
	@scripts/run-window build/$(PRESET)

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

# make fuzz [FUZZ_SECONDS=60]: each fuzz target for that long over its corpus.
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/run-fuzz $(FUZZ_SECONDS) build/fuzz

bench: build
	@scripts/install-deps bench
	@bench/run-bench build/$(PRESET)

clean:
	rm -rf build

# make package: the Debian package build/$(PRESET)/lintavo_<version>_amd64.deb.
package: build
	@cd build/$(PRESET) && cpack -G DEB

# make install [PREFIX=/usr/local] [DESTDIR=...]: installs the built program.
PREFIX ?= /usr/local
install: build
	@cmake --install build/$(PRESET) --prefix $(PREFIX)
