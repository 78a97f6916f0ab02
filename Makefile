# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
# The program and its archive Contatti.pro live here, outside the source tree, so that no rebuild,
# `make clean` or `git clean` ever touches the user's data.
RUN_DIR ?= $(HOME)/Carnetto
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test test-fresh bench bundle test-bundle-debian format clean fuzz test-asan \
	qt-windows build-windows bundle-windows test-windows

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: $(BUILD_DIR)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@mkdir -p "$(RUN_DIR)"
	@cp -f $(BUILD_DIR)/app/Carnetto "$(RUN_DIR)/Carnetto"
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	    echo "No display found: starting Carnetto under Xvfb (xvfb-run)."; \
	    cd "$(RUN_DIR)" && xvfb-run -a -s "-screen 0 1280x1024x24" ./Carnetto; \
	else \
	    cd "$(RUN_DIR)" && ./Carnetto; \
	fi

# packages.txt must be enough for a fresh machine: the libraries of the link lines are checked before the build
# (a missing one would stop the linker), the headers the compiler read and the programs the tests start after it.
test: deps configure
	@bash scripts/check-packages.sh links $(BUILD_DIR)
	cmake --build $(BUILD_DIR) -j $(JOBS)
	@bash scripts/check-packages.sh all $(BUILD_DIR)
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The README's `make test` on a fresh Debian 12 (debootstrap, as root, in a chroot), from a clean clone of HEAD:
# what CI runs first. The base system is kept in ~/.cache/carnetto/.
test-fresh:
	bash scripts/test-fresh.sh

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	    if [ -f "$$b" ] && [ -x "$$b" ]; then QT_QPA_PLATFORM=offscreen "$$b" || exit 1; fi; \
	done

# The portable folder for a USB drive: the program with the Qt libraries and plugins it needs (README).
BUNDLE_DIR ?= dist/Carnetto
bundle: build
	bash scripts/make-bundle.sh "$(BUILD_DIR)" "$(BUNDLE_DIR)"

# The portable folder on a Debian 13 that has only what the folder asks of a desktop, and on a Debian 11, too old
# for it (debootstrap, as root; a few minutes and the network): not part of make test.
test-bundle-debian: bundle
	bash scripts/test-bundle-debian.sh "$(BUNDLE_DIR)"

# libFuzzer with AddressSanitizer over every reader of a file the user can hand to the program, each target for
# FUZZ_RUNS inputs from its seed corpus (fuzz/corpus/<target>/). A separate clang build; inputs the fuzzer finds
# interesting gather in $(FUZZ_DIR)/corpus/, crashes in $(FUZZ_DIR)/findings/.
FUZZ_DIR ?= build-fuzz
FUZZ_RUNS ?= 100000
FUZZ_TARGETS ?= archivio rigalista ripristino griglia vcard multistatus
# The archive targets write every input to a file: a memory file system keeps that cheap.
FUZZ_TMP ?= $(shell [ -w /dev/shm ] && echo /dev/shm || echo /tmp)
FUZZ_FLAGS = -fsanitize=address,fuzzer-no-link -fno-omit-frame-pointer
fuzz:
	@bash scripts/install-deps.sh fuzz/packages.txt
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DCARNETTO_FUZZ=ON \
	    "-DCMAKE_CXX_FLAGS=$(FUZZ_FLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address"
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/findings/$$t; \
	    echo "== fuzz_$$t: $(FUZZ_RUNS) inputs"; \
	    TMPDIR=$(FUZZ_TMP) $(FUZZ_DIR)/fuzz/fuzz_$$t -runs=$(FUZZ_RUNS) -timeout=10 -max_len=8192 -print_final_stats=1 \
	        -artifact_prefix=$(FUZZ_DIR)/findings/$$t/ $(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of its own.
# intercept_tls_get_addr=0: with glibc 2.36, gcc 12's leak checker misreads the thread-local blocks of the
# plugins Qt loads and crashes at exit; the heap is still checked in full.
ASAN_DIR ?= build-asan
ASAN_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS=$(ASAN_FLAGS) -O1" \
	    "-DCMAKE_EXE_LINKER_FLAGS=$(ASAN_FLAGS)" "-DCMAKE_SHARED_LINKER_FLAGS=$(ASAN_FLAGS)"
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_stack_use_after_return=1:intercept_tls_get_addr=0 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The Windows folder for the same stick (README, "Windows"): Carnetto.exe cross-built with Debian's MinGW-w64
# against a Qt for Windows built here from Debian's qtbase source. The first run builds that Qt (over an hour on
# two cores, at nice 19) and keeps it in ~/.cache/carnetto/; later runs unpack it.
WINDOWS_BUILD_DIR ?= build-windows
WINDOWS_BUNDLE_DIR ?= dist/Carnetto-windows
qt-windows:
	bash scripts/windows/build-qt-windows.sh

build-windows:
	bash scripts/windows/build-windows.sh "$(WINDOWS_BUILD_DIR)"

bundle-windows:
	bash scripts/windows/build-windows.sh "$(WINDOWS_BUILD_DIR)" Carnetto
	bash scripts/windows/make-bundle-windows.sh "$(WINDOWS_BUILD_DIR)" "$(WINDOWS_BUNDLE_DIR)"

# The test programs as Windows programs under Wine, then the folder's Carnetto.exe itself against the Linux
# program, the only Linux target it needs (scripts/windows/).
test-windows: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target Carnetto
	bash scripts/windows/test-windows.sh "$(WINDOWS_BUILD_DIR)" "$(WINDOWS_BUNDLE_DIR)" "$(BUILD_DIR)"

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
