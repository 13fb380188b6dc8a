# Developer entry points over CMake. Every target first makes sure the machine has what the
# build needs (scripts/setup-debian.sh), so each works on a fresh Debian 12 machine as root.

BUILD ?= build
JOBS ?= 2
DEMO ?= demo
SANITIZED ?= build-asan
FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 10

.PHONY: all setup build demo test check-sanitized fuzz-smoke screenshot bench package clean

all: build

setup:
	@sh scripts/setup-debian.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Writes example documents into $(DEMO)/ and converts each of them into every output kind,
# detecting each one's generation.
demo: build
	@rm -rf $(DEMO) && mkdir -p $(DEMO)
	@$(BUILD)/tools/quorrel-make-examples $(DEMO) >/dev/null
	@echo "Example documents in $(DEMO)/:" && ls $(DEMO)
	@echo "Converting (each line is an output written):"
	@cd $(DEMO) && ../$(BUILD)/src/quorrel-cli --txt --html --sxw --odt *
	@echo "Outputs written:" && cd $(DEMO) && ls -l --time-style=+ | tail -n +2

# The tests also need LibreOffice, to open the .sxw and .odt archives as a user's office suite
# would, and jing, to check the .odt parts against the ODF schemas.
# The ordinary suite runs first, so that an ordinary failure shows at once; then the same suite
# under AddressSanitizer and UBSan, then a short run of every fuzz target.
test: build
	@sh scripts/setup-debian.sh test
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory check-sanitized
	@$(MAKE) --no-print-directory fuzz-smoke

# The whole suite built with clang under AddressSanitizer (leaks included) and UBSan, without
# the Qt front end, whose logic lives in the core and is tested there. Left out:
# LibreOffice (not ours to check), packaging, and the peak-memory tests, which the sanitizers'
# own memory would distort.
UNSANITIZED_TESTS = LibreOffice|install_and_package|ConstantMemory
check-sanitized:
	@sh scripts/setup-debian.sh test
	@CC=clang CXX=clang++ cmake -S . -B $(SANITIZED) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUORREL_SANITIZE=ON -DQUORREL_BENCHMARKS=OFF -DQUORREL_DESKTOP=OFF >/dev/null
	@cmake --build $(SANITIZED) -j $(JOBS)
	@cd $(SANITIZED) && ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -E '$(UNSANITIZED_TESTS)'

# Every libFuzzer target for FUZZ_SECONDS, two at a time; findings are kept in $(FUZZ)/artifacts/.
# A longer local run: make fuzz-smoke FUZZ_SECONDS=180 (the corpus grows in $(FUZZ)/corpus/).
fuzz-smoke:
	@sh scripts/setup-debian.sh test
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUORREL_FUZZ=ON -DQUORREL_TESTS=OFF -DQUORREL_BENCHMARKS=OFF -DQUORREL_DESKTOP=OFF >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)
	@sh scripts/fuzz-smoke.sh $(FUZZ) $(FUZZ_SECONDS) $(JOBS)

# Renders the desktop dialog as it looks at start-up into docs/dialog.png; needs no display.
screenshot: build
	@mkdir -p docs
	@$(BUILD)/src/desktop/quorrel-screenshot docs/dialog.png
	@echo "Wrote docs/dialog.png"

# A Debian package in $(BUILD)/, installable with apt-get install ./quorrel_*.deb
package: build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/quorrel_*.deb

# In-memory throughput of every converter, then whole-process timings against cat and peers.
# Repetitions run in a random order, so that a shared machine's drifting speed falls on every
# benchmark alike and pairs such as ODT and SXW of the same document compare.
BENCH_FLAGS = --benchmark_counters_tabular=true --benchmark_enable_random_interleaving=true
bench:
	@sh scripts/setup-debian.sh bench
	@cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUORREL_TESTS=OFF >/dev/null
	@cmake --build build-release -j $(JOBS)
	@build-release/bench/quorrel_bench $(BENCH_FLAGS)
	@build-release/bench/quorrel_complete_bench $(BENCH_FLAGS)
	@bash scripts/bench.sh build-release

clean:
	rm -rf $(BUILD) build-release $(SANITIZED) $(FUZZ) $(DEMO)
