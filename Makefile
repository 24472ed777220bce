# make test: installs what is missing, builds and runs every test.
# make run:  installs what is missing, builds and starts the window.
PRESET ?= release

.PHONY: all deps configure build test run asan fuzz bench package install clean windows windows-test

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

# make windows: the Windows zip and installer, cross-built into build/windows
# (Lintavo-<version>-windows-x64.zip and Lintavo-<version>-x64.msi). Qt for
# Windows comes from the cached build or is built once from Debian's source.
windows:
	@scripts/install-deps windows
	@LINTAVO_WINDOWS_QT="$$(scripts/get-windows-qt)" cmake --preset windows >/dev/null
	@cmake --build --preset windows
	@scripts/package-windows build/windows

# make windows-test: the Windows build's tests under wine, and lintavo-batch's
# end-to-end tests (from the Linux build) against lintavo-batch.exe.
windows-test: windows build
	@build/windows/wine-run
	@ctest --preset windows
	@echo "lintavo-batch.exe end to end, under wine:"
	@LINTAVO_BATCH_WINDOWS=$(CURDIR)/build/windows/app/lintavo-batch.exe \
	 LINTAVO_BATCH_LAUNCHER=$(CURDIR)/build/windows/wine-run \
	 build/$(PRESET)/tests/batch_tests --gtest_brief=1
