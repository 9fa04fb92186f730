# Set-up, build, test and run in two commands: `make run` and `make test`.
# Both install what is missing (apt-get, as root) before building.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

PACKAGES := cmake ninja-build g++ clang-format libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev \
            clang libclang-rt-dev pkg-config libmosquitto-dev mosquitto mosquitto-clients \
            libmodbus-dev qt6-translations-l10n zlib1g-dev
MISSING = $(shell for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
            | grep -q 'install ok installed' || echo $$p; done)

.PHONY: all deps build run test test-asan fuzz bench format format-check clean

all: build

deps:
	@missing="$(MISSING)"; \
	if [ -n "$$missing" ]; then \
	    echo "Installing: $$missing"; \
	    if [ "$$(id -u)" = 0 ]; then SUDO=; else SUDO=sudo; fi; \
	    $$SUDO apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWIRTUALON_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/wirtualon

# Every test of the full build, then the core tests again under ASan and UBSan.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWIRTUALON_UI=OFF \
	    -DWIRTUALON_BENCH=OFF -DWIRTUALON_SANITIZE=ON -DWIRTUALON_WERROR=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS)

# libFuzzer targets, each run for FUZZ_SECONDS seconds on a fresh corpus.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DWIRTUALON_UI=OFF -DWIRTUALON_BENCH=OFF -DWIRTUALON_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for f in $(FUZZ_BUILD)/tests/*_fuzz; do \
	    echo "== $$f ($(FUZZ_SECONDS) s)"; \
	    mkdir -p $(FUZZ_BUILD)/corpus/$$(basename $$f); \
	    $$f -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
	        $(FUZZ_BUILD)/corpus/$$(basename $$f) || exit 1; \
	done

# Every benchmark; a failing one fails the target.
bench: build
	./$(BUILD)/bench/core_bench
	@for b in $(BUILD)/bench/ui_*_bench; do \
	    [ -x "$$b" ] || continue; \
	    QT_QPA_PLATFORM=offscreen "$$b" || exit 1; \
	done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
