# The two jobs of the README: `make run` converts the bundled samples, `make test` runs every test,
# once in a plain build and once built with the address and undefined-behaviour sanitizers.
BUILD ?= build
SANITIZED ?= build-sanitize
WINDOWS ?= build-windows
JOBS ?= $(shell nproc)
# The build's progress without a line for every folder the nested makes enter and leave.
MAKEFLAGS += --no-print-directory
# A sanitizer report fails the test that triggers it; leaks count too, except those of the
# platform libraries below Qt, which the suppression file lists.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer-suppressions.txt:print_suppressions=0

PREFIX ?= /usr/local
# Each stage of `make test` appends its time here; the last stage prints them all.
STAGES = $(BUILD)/test-stages.txt
STAGE = ./scripts/timed-stage.sh $(STAGES)

.PHONY: deps deps-program deps-package deps-windows configure configure-program build program sanitized \
	run test install package bench clean windows windows-suites windows-installer

# The packages come in groups (scripts/setup-deps.sh): a job installs only those it uses.
deps:
	./scripts/setup-deps.sh test
deps-program:
	./scripts/setup-deps.sh program
deps-package:
	./scripts/setup-deps.sh package
deps-windows:
	./scripts/setup-deps.sh windows

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKARTWERK_TESTS=ON >/dev/null

# A first `make run` configures without the test suites (and so without GoogleTest) and without
# debug information (a third of the program's compile time, of no use to running it); once `make
# test` has configured the folder its way, later runs keep that and build only the program.
configure-program: deps-program
	cmake -S . -B $(BUILD) \
		$(if $(wildcard $(BUILD)/CMakeCache.txt),,-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DKARTWERK_TESTS=OFF) >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program, its Qt module, its data, the sample-map tool and the installed files only.
program: configure-program
	cmake --build $(BUILD) -j $(JOBS) --target kartwerk_program

run: program
	./scripts/run-samples.sh $(BUILD)

sanitized: configure
	cmake -S . -B $(SANITIZED) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKARTWERK_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZED) -j $(JOBS)

# Every stage is timed; the table of times closes the run (also after a failing stage).
test: deps
	@rm -f $(STAGES); mkdir -p $(BUILD)
	@$(STAGE) "plain build" $(MAKE) build
	@$(STAGE) "sanitized build" $(MAKE) sanitized
	@$(STAGE) "Windows build" $(MAKE) windows-suites windows-installer
	@$(STAGE) "plain tests" ./scripts/run-tests.sh $(BUILD) $(JOBS)
	@$(STAGE) "sanitized tests" env $(SANITIZER_ENV) ./scripts/run-tests.sh $(SANITIZED) $(JOBS) -LE plain-only
	@$(STAGE) "Windows suites" ./scripts/run-win32-tests.sh $(WINDOWS)
	@$(STAGE) "desktop suite" ./scripts/test-win32-desktop.sh $(WINDOWS)
	@$(STAGE) --last "installer" ./scripts/test-win32-installer.sh $(WINDOWS)

# `make windows`: kartwerk.exe for 64-bit Windows, cross-built with MinGW-w64 and linked statically
# (no DLL beside it), with "cliffdata" beside it; its windows are the native Win32 ones (ui/win32).
windows: deps-windows
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(WINDOWS) -j $(JOBS) --target kartwerk

# `make windows-installer`: build-windows/kartwerk-setup-VERSION.exe, an NSIS installer of the Windows
# build (packaging/windows/kartwerk.nsi); scripts/test-win32-installer.sh tries it under Wine.
windows-installer: windows
	cmake --build $(WINDOWS) -j $(JOBS) --target windows_installer

# The Windows test suites (no Qt), built for Windows; scripts/run-win32-tests.sh runs them under
# Wine in a prefix of their own, then compares kartwerk.exe's output with the reference;
# scripts/test-win32-desktop.sh runs those that show windows on an X server, with screenshots.
windows-suites: windows
	cmake --build $(WINDOWS) -j $(JOBS) --target win32_suites

# `make install`: the program, its Qt module and data, the desktop's files, the manual page and
# the bash completion under PREFIX (default /usr/local); DESTDIR stages the tree elsewhere.
install: deps-package
	$(MAKE) program
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# `make package`: the same files as a Debian package for /usr, in the build folder.
package: deps-package
	$(MAKE) program
	cd $(BUILD) && cpack -G DEB

# `make bench`: the speed and memory of a conversion against its floor (see scripts/bench.sh), in a
# Release build of its own without the windows (loading Qt would be timed, not the conversion);
# build-bench/bench/kartwerk_bench holds the per-writer benchmarks.
# The program as `make run` builds it (-O2: GCC 12 at -O3 also warns of string copies that cannot overlap).
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DKARTWERK_GUI=OFF \
		-DKARTWERK_BENCH=ON -DKARTWERK_TESTS=OFF >/dev/null
	cmake --build build-bench -j $(JOBS) --target kartwerk make_bench_maps conversion_floor measure_run kartwerk_bench
	./scripts/bench.sh build-bench

clean:
	rm -rf $(BUILD) $(SANITIZED) $(WINDOWS)
