# The two set-up commands of the README: `make run` and `make test`.
# Each installs what is missing from Debian's packages, configures, builds, then runs.

BUILD    ?= build
PACKAGES := cmake g++ make dpkg-dev file qt6-base-dev qt6-qpa-plugins qt6-translations-l10n xvfb xauth \
            xdotool fonts-dejavu-core desktop-file-utils appstream
SUDO     := $(if $(filter 0,$(shell id -u)),,sudo)
JOBS     := $(shell nproc 2>/dev/null || echo 2)

FUZZ_SECONDS ?= 60
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/leak-suppressions.txt \
                 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test build deps clean sanitize fuzz package bench windows windows-test

run: build
	@bash tools/run-editor.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing from Debian's packages:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

# Start-up, memory and I/O against a bare Qt window; writes bench/results.md.
bench: build
	@$(MAKE) --no-print-directory deps PACKAGES="strace libxcb1-dev valgrind"
	bash bench/run_bench.sh $(BUILD) 41

# A Debian package of the program, in BUILD.
package: build
	cd $(BUILD) && cpack -G DEB

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_WERROR=ON -DQUORVANE_SANITIZE=ON
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && $(SANITIZER_ENV) ctest --output-on-failure --timeout 600

# Editing sessions on a failing device under libFuzzer for FUZZ_SECONDS, from the seeds in the
# repository (tests/fuzz/corpus); a session may take at most 10 s.
fuzz: deps
	@$(MAKE) --no-print-directory deps PACKAGES="clang"
	@# The sanitizers' runtime of the clang that is installed, whichever version is the default.
	@$(MAKE) --no-print-directory deps PACKAGES="libclang-rt-$$(clang -dumpversion | cut -d. -f1)-dev"
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUORVANE_WERROR=ON -DQUORVANE_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	mkdir -p build-fuzz/corpus && cp -n tests/fuzz/corpus/* build-fuzz/corpus/
	TMPDIR=$$(test -w /dev/shm && echo /dev/shm || echo /tmp) $(SANITIZER_ENV) \
	  build-fuzz/tests/fuzz/quorvane_fuzz_editing_session -max_total_time=$(FUZZ_SECONDS) \
	  -timeout=10 -len_control=0 -max_len=1058 -print_final_stats=1 -artifact_prefix=build-fuzz/ \
	  build-fuzz/corpus

# Windows, cross-built here: Qt's base module for mingw-w64 once per machine into
# WINDOWS_CACHE (about 40 minutes the first time, reused after), and the Debian source packages of
# what the folder ships (fetched once, skipped when they cannot be), then the editor and its test
# programs, then the folder to unzip and run, in build-windows/Quorvane-VERSION(.zip), and beside
# it its sources archive, Quorvane-VERSION-sources.zip.
WINDOWS_CACHE ?= /var/cache/quorvane/windows
windows:
	$(SUDO) QUORVANE_WINDOWS_CACHE=$(WINDOWS_CACHE) bash tools/windows/build-qt.sh
	$(SUDO) QUORVANE_WINDOWS_CACHE=$(WINDOWS_CACHE) bash tools/windows/fetch-sources.sh
	cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_WERROR=ON \
	  -DCMAKE_TOOLCHAIN_FILE=$(WINDOWS_CACHE)/qt/lib/cmake/Qt6/qt.toolchain.cmake
	cmake --build build-windows -j $(JOBS)
	QUORVANE_WINDOWS_CACHE=$(WINDOWS_CACHE) bash tools/windows/assemble.sh build-windows
	QUORVANE_WINDOWS_CACHE=$(WINDOWS_CACHE) bash tools/windows/sources-archive.sh build-windows

# The chart, ROM and window suites as Windows programs under wine, headless; then the folder's
# layout, read-me, licences, markers and manifest, and the sources archive.
windows-test: windows
	@echo "Not run under wine: the end-to-end session (real X input is Linux's), the" \
	  "decimal-comma run (a Linux locale), the package test."
	QUORVANE_WINDOWS_CACHE=$(WINDOWS_CACHE) bash tools/windows/run-tests.sh \
	  build-windows/test_chart.exe build-windows/test_rom.exe \
	  build-windows/test_window.exe
	QUORVANE_LANGUAGE=fr QUORVANE_WINDOWS_CACHE=$(WINDOWS_CACHE) bash tools/windows/run-tests.sh \
	  build-windows/test_rom.exe open saves
	bash tools/windows/test-folder.sh build-windows

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz build-windows
