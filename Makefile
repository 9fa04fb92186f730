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
# Building the Debian package needs dpkg-shlibdeps; checking it, lintian and the validators of
# the desktop entry and the AppStream metadata.
PACKAGE_TOOLS := dpkg-dev
PACKAGE_CHECK_TOOLS := lintian desktop-file-utils appstream
# $(call missing,PACKAGES): those of PACKAGES that are not installed.
missing = $(shell for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
            | grep -q 'install ok installed' || echo $$p; done)
# $(call apt_install,PACKAGES): installs those of PACKAGES that are missing.
define apt_install
	@missing="$(call missing,$(1))"; \
	if [ -n "$$missing" ]; then \
	    echo "Installing: $$missing"; \
	    if [ "$$(id -u)" = 0 ]; then SUDO=; else SUDO=sudo; fi; \
	    $$SUDO apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi
endef

.PHONY: all deps package-deps build run test test-asan package package-check fuzz bench format \
        format-check clean

all: build

deps:
	$(call apt_install,$(PACKAGES))

package-deps:
	$(call apt_install,$(PACKAGES) $(PACKAGE_TOOLS))

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

# The Debian package, $(BUILD)/wirtualon_<version>_<architecture>.deb: only what it installs
# is built (tests and benchmarks are not), then CPack lays it out and packs it.
package: package-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target wirtualon wirtualon-cli compressed_docs
	cd $(BUILD) && cpack

# The package as lintian sees it (an error or a warning fails), and the desktop entry and the
# AppStream metadata as their validators see them.
package-check: package
	$(call apt_install,$(PACKAGE_CHECK_TOOLS))
	version=$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(BUILD)/CMakeCache.txt); \
	lintian --fail-on error,warning $(BUILD)/wirtualon_$${version}_$$(dpkg --print-architecture).deb
	desktop-file-validate packaging/wirtualon.desktop
	appstreamcli validate --no-net packaging/pl.wirtualon.wirtualon.metainfo.xml

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
