# Front door: `make run` and `make test` work on a fresh Debian machine.
BUILD_DIR    ?= build
SAN_DIR      ?= build-sanitize
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 180
JOBS         ?= $(shell nproc)
CMAKE_FLAGS  ?=
MAKEFLAGS += --no-print-directory
# Let ccache share its cache between clones of the project in other folders (CI clones afresh).
export CCACHE_BASEDIR  := $(CURDIR)
export CCACHE_NOHASHDIR := true

.PHONY: all deps configure build test test-sanitize run fuzz fuzz-coverage charts screenshot clean

all: build

deps:
	@./scripts/install-deps.sh

# Always re-run: folders join the build when they appear, which CMake cannot notice by itself.
configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Same suite with AddressSanitizer and UndefinedBehaviorSanitizer; the first report ends the run.
test-sanitize: deps
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKROL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && \
	  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

# Every libFuzzer target for FUZZ_SECONDS each (clang build in FUZZ_DIR); by hand, not in CI.
fuzz:
	@./scripts/install-deps.sh --fuzz
	./scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# Per-file line coverage of the stored fuzz corpora (clang build in FUZZ_DIR-coverage).
fuzz-coverage:
	@./scripts/install-deps.sh --fuzz
	./scripts/fuzz-coverage.sh $(FUZZ_DIR)-coverage

# The charts in docs/ (README shows them); run it when the virtual module's motion changes.
charts: build
	./scripts/make-charts.sh $(BUILD_DIR)

# The picture of krol-ide in README, drawn by the program itself offscreen.
screenshot: build
	./scripts/screenshot.sh $(BUILD_DIR)

run: build
	./scripts/run.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) $(FUZZ_DIR) $(FUZZ_DIR)-coverage
