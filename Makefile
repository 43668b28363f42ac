# Set-up, build, run and test of the Vorlan macro generator on Debian 12.
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev libgl-dev \
            libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth unrtf fonts-dejavu-core
# Liberation Mono answers for "Courier New", the face the stored page illustration was drawn with.
PACKAGES += fonts-liberation
# Icons, man pages, checks of the desktop files, and the Debian package (make package).
PACKAGES += librsvg2-bin help2man scdoc desktop-file-utils appstream dpkg-dev file lintian
# README's pictures (make docs-pictures) are reduced to a small palette.
PACKAGES += pngquant

BUILD := build
ASAN  := build-asan
FUZZ  := build-fuzz
WIN32 := build-win32
FUZZ_SECONDS ?= 10
JOBS ?= $(shell nproc)
# Fuzzers running at once: one a core.
FUZZ_JOBS ?= $(JOBS)


.PHONY: all deps build run test test-plain test-asan test-windows test-windows-packages fuzz \
        fuzz-build fuzz-long fuzz-merge bench format clean package package-windows docs-pictures

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

fuzz-build: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j $(JOBS)

# The short run of make test: every fuzzer from its kept corpus; new finds are not kept.
fuzz: fuzz-build
	tools/run-fuzzers.sh --jobs $(FUZZ_JOBS) $(FUZZ)/bin $(FUZZ_SECONDS)

# The long run: every fuzzer 10 minutes unless FUZZ_SECONDS says otherwise, two at a time; new
# finds gather in $(FUZZ)/finds/<target>/ for make fuzz-merge.
fuzz-long: fuzz-build
	tools/run-fuzzers.sh --jobs $(FUZZ_JOBS) --finds $(FUZZ)/finds $(FUZZ)/bin \
	  $(if $(filter command line environment,$(origin FUZZ_SECONDS)),$(FUZZ_SECONDS),600)

# Folds a long run's finds into fuzz/corpus/ (only inputs with new coverage); FUZZ_MERGE=--fresh
# minimizes each corpus anew.
fuzz-merge: fuzz-build
	tools/merge-fuzz-finds.sh $(FUZZ_MERGE) $(FUZZ)/bin $(FUZZ)/finds

test-asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

test-plain: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The program cross-built for Windows (i686, what users get, with every test; x86_64 with its
# programs and smoke test) with the prebuilt Qt in ../shared/qt-windows, run under Wine with both
# halves (a 64-bit prefix with 32-bit support), the wizard's windows on a private Xvfb display;
# without that Qt, the Qt-free half only, saying so. It installs the cross compilers, Wine (adding
# dpkg's i386 architecture for its 32-bit half) and the rest itself.
test-windows: build
	tools/test-windows.sh $(WIN32) $(BUILD)/bin/vmacgen

# The Windows packages of the builds test-windows made: both made and their files compared, the
# 32-bit installer and then the 64-bit one installed, upgraded and removed under Wine.
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

# README's pictures of the wizard in docs/, made again from examples/AddNums.mcs by the
# program's own picture tool (commit them when the wizard's looks change); not part of make test.
docs-pictures: build
	tools/docs-pictures.sh $(BUILD)/bin docs

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
