# Developer entry points over CMake. Every target first makes sure the machine has what the
# build needs (scripts/setup-debian.sh), so each works on a fresh Debian 12 machine as root.

BUILD ?= build
JOBS ?= 2
DEMO ?= demo

.PHONY: all setup build demo test screenshot clean

all: build

setup:
	@sh scripts/setup-debian.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Writes example documents into $(DEMO)/ and converts each of them into every output kind.
demo: build
	@rm -rf $(DEMO) && mkdir -p $(DEMO)
	@$(BUILD)/tools/quorrel-make-examples $(DEMO) >/dev/null
	@echo "Example documents in $(DEMO)/:" && ls $(DEMO)
	@echo "Converting (each line is an output started):"
	@cd $(DEMO) && ../$(BUILD)/src/quorrel-cli --txt *
	@echo "Outputs written:" && cd $(DEMO) && ls -l --time-style=+ | tail -n +2

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Renders the desktop dialog as it looks at start-up into docs/dialog.png; needs no display.
screenshot: build
	@mkdir -p docs
	@$(BUILD)/src/desktop/quorrel-screenshot docs/dialog.png
	@echo "Wrote docs/dialog.png"

clean:
	rm -rf $(BUILD) $(DEMO)
