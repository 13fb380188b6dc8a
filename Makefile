# Developer entry points over CMake. Every target first makes sure the machine has what the
# build needs (scripts/setup-debian.sh), so each works on a fresh Debian 12 machine as root.

BUILD ?= build
JOBS ?= 2
DEMO ?= demo

.PHONY: all setup build demo test screenshot bench package clean

all: build

setup:
	@sh scripts/setup-debian.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Writes example documents into $(DEMO)/ and converts each of them into every output kind,
# detecting each one's generation. The SXW outputs also leave content.xml in $(DEMO)/.
demo: build
	@rm -rf $(DEMO) && mkdir -p $(DEMO)
	@$(BUILD)/tools/quorrel-make-examples $(DEMO) >/dev/null
	@echo "Example documents in $(DEMO)/:" && ls $(DEMO)
	@echo "Converting (each line is an output started):"
	@cd $(DEMO) && ../$(BUILD)/src/quorrel-cli --txt --html --sxw *
	@echo "Outputs written:" && cd $(DEMO) && ls -l --time-style=+ | tail -n +2

# The tests also need LibreOffice, to open the .sxw archives as a user's office suite would.
test: build
	@sh scripts/setup-debian.sh test
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

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
bench:
	@sh scripts/setup-debian.sh bench
	@cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUORREL_TESTS=OFF >/dev/null
	@cmake --build build-release -j $(JOBS)
	@build-release/bench/quorrel_bench --benchmark_counters_tabular=true
	@bash scripts/bench.sh build-release

clean:
	rm -rf $(BUILD) build-release $(DEMO)
