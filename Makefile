# Set-up, build, run and test of the Vorlan macro generator on Debian 12.
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev libgl-dev \
            libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth unrtf fonts-dejavu-core
# Icons, man pages, checks of the desktop files, and the Debian package (make package).
PACKAGES += librsvg2-bin help2man scdoc desktop-file-utils appstream dpkg-dev file lintian

BUILD := build
ASAN  := build-asan
FUZZ  := build-fuzz
WIN32 := build-win32
FUZZ_SECONDS ?= 10
JOBS ?= $(shell nproc)


.PHONY: all deps build run test test-plain test-asan test-windows test-windows-packages fuzz \
        fuzz-long bench format clean package package-windows

all: build

deps:
	@tools/install-deps.sh $(PACKAGES)

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVMG_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@tools/run-wizard.sh $(BUILD)/bin

$(ASAN)/build.ninja: | deps
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVMG_SANITIZE=ON -DVMG_BENCH=OFF -DVMG_WERROR=ON

$(FUZZ)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVMG_FUZZ=ON -DVMG_WERROR=ON

fuzz: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j $(JOBS)
	tools/run-fuzzers.sh $(FUZZ)/bin $(FUZZ_SECONDS)

# The long run: every fuzzer 10 minutes unless FUZZ_SECONDS says otherwise.
fuzz-long:
	$(MAKE) --no-print-directory fuzz \
	  FUZZ_SECONDS=$(if $(filter command line environment,$(origin FUZZ_SECONDS)),$(FUZZ_SECONDS),600)

test-asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

test-plain: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The program cross-built for Windows (i686, what users get, compiled; x86_64 with the tests,
# run under 64-bit Wine, the wizard's windows on a private Xvfb display) with the prebuilt Qt in
# ../shared/qt-windows; without it, the Qt-free half only, saying so. It installs the cross
# compilers, Wine and the rest itself.
test-windows: build
	tools/test-windows.sh $(WIN32) $(BUILD)/bin/vmacgen

# The Windows packages of the builds test-windows made: both made and their files compared, the
# 64-bit installer installed, upgraded and removed under Wine.
test-windows-packages: build
	tests/install/check-windows-packages.sh $(WIN32)-x86_64 $(WIN32) $(BUILD)/bin/vmacgen

# Fuzzers, the sanitizer build and Windows first, so that the last lines are the plain suite's
# summary.
test: build
	$(MAKE) --no-print-directory fuzz
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory test-windows
	$(MAKE) --no-print-directory test-windows-packages
	$(MAKE) --no-print-directory test-plain

bench: build
	@for b in $(BUILD)/bin/bench_*; do "$$b"; done

# A .deb of the build tree's program: apt install ./build/vorlan-macro-generator_*.deb
package: build
	cd $(BUILD) && cpack -G DEB

# The Windows .zip and .msi of the wizard, 32-bit (what users get) and 64-bit, in
# $(WIN32)/package/ and $(WIN32)-x86_64/package/; needs the prebuilt Qt in ../shared/qt-windows.
package-windows: deps
	tools/package-windows.sh $(WIN32) i686
	tools/package-windows.sh $(WIN32)-x86_64 x86_64

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ) $(WIN32) $(WIN32)-x86_64
