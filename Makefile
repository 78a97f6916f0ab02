# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
# The program and its archive Contatti.pro live here, outside the source tree, so that no rebuild,
# `make clean` or `git clean` ever touches the user's data.
RUN_DIR ?= $(HOME)/Carnetto
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench bundle format clean

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

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

# The portable folder for a USB drive: the program with the Qt libraries and plugins it needs (README).
BUNDLE_DIR ?= dist/Carnetto
bundle: build
	bash scripts/make-bundle.sh "$(BUILD_DIR)" "$(BUNDLE_DIR)"

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
