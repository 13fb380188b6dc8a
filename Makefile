# Developer entry points over CMake. Every target first makes sure the machine has what the
# build needs (scripts/setup-debian.sh), so each works on a fresh Debian 12 machine as root.

BUILD ?= build
JOBS ?= 2
DEMO ?= demo

.PHONY: all setup build demo test clean

all: build

setup:
	@sh scripts/setup-debian.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The examples of each input generation and the output kinds built for it so far, one line
# each; a generation joins as its converters arrive, and once every pair is built a single
# line "--txt --html --sxw *" converts them all. The SXW outputs also leave content.xml in
# $(DEMO)/.
DEMO_CONVERSIONS = \
	"--txt --html --sxw *.wpd"

# Writes example documents into $(DEMO)/ and converts each of them into every output kind.
demo: build
	@rm -rf $(DEMO) && mkdir -p $(DEMO)
	@$(BUILD)/tools/quorrel-make-examples $(DEMO) >/dev/null
	@echo "Example documents in $(DEMO)/:" && ls $(DEMO)
	@echo "Converting (each line is an output started):"
	@cd $(DEMO) && for conversion in $(DEMO_CONVERSIONS); do \
	  ../$(BUILD)/src/quorrel-cli $$conversion || exit 1; done
	@echo "Outputs written:" && cd $(DEMO) && ls -l --time-style=+ | tail -n +2

# The tests also need LibreOffice, to open the .sxw archives as a user's office suite would.
test: build
	@sh scripts/setup-debian.sh test
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(DEMO)
