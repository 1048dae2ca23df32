# Convenience wrapper around CMake. Everything it needs comes from Debian's packages.
PRESET ?= default
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc)

DEB_PACKAGES := cmake g++ make pkg-config libsqlite3-dev libgtest-dev libgmock-dev \
                libbenchmark-dev libcli11-dev qt6-base-dev fonts-noto-core \
                unixodbc unixodbc-dev tdsodbc freetds-bin \
                libshp-dev libxlsxwriter-dev qt6-charts-dev python3-openpyxl libqt6opengl6-dev
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: deps configure build test test-served demo gui screenshots bench clean

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The transfer, suite and tool tests once more, every server directory they open served by
# `xfer serve` on a loopback port and reached through the ODBC backend.
SERVED_TESTS := tests/transfer/xfer_transfer_tests tests/suite/xfer_suite_tests tests/cli/xfer_cli_tests
test-served: build
	cd $(BUILD) && for t in $(SERVED_TESTS); do \
	  echo "== $$t through xfer serve"; \
	  XFER_SERVE_DIRECTORIES=$$PWD/app/xfer/xfer timeout 1200 ./$$t --gtest_brief=1 || exit 1; \
	done

DEMO_SERVER ?= build/demo-server

# The main job: a demo server (made once) and a full base-information transfer of company 1's
# period 1402 into 1403, printing the summary per table.
demo: build
	@test -d $(DEMO_SERVER) || $(BUILD)/app/xfer/xfer demo init --server $(DEMO_SERVER)
	$(BUILD)/app/xfer/xfer kol --server $(DEMO_SERVER) --database KELVARO_1_1403 \
	  --source KELVARO_1_1402 --modules maly,store,dara,naghd,trado

# The desktop host on the demo server, which is made first when missing.
gui: build
	@if [ ! -d $(DEMO_SERVER) ]; then \
	  if [ ! -x $(BUILD)/app/xfer/xfer ]; then \
	    echo "gui: no demo server at $(DEMO_SERVER) and no xfer tool to create it"; exit 1; \
	  fi; \
	  $(BUILD)/app/xfer/xfer demo init --server $(DEMO_SERVER) || { \
	    echo "gui: 'xfer demo init' could not create $(DEMO_SERVER)"; exit 1; }; \
	fi
	$(BUILD)/app/xfer-host/xfer-host --server $(DEMO_SERVER)

# PNGs of the login, the base-information form, a run in progress, a completion message and the
# run summary, rendered offscreen from the demo server (made first when missing).
SCREENSHOTS ?= $(BUILD)/screenshots
screenshots: build
	@test -d $(DEMO_SERVER) || $(BUILD)/app/xfer/xfer demo init --server $(DEMO_SERVER)
	rm -rf $(DEMO_SERVER)-shots && cp -r $(DEMO_SERVER) $(DEMO_SERVER)-shots
	QT_QPA_PLATFORM=offscreen $(BUILD)/app/xfer-host/xfer-host --server $(DEMO_SERVER)-shots \
	  --screenshots $(SCREENSHOTS)
	rm -rf $(DEMO_SERVER)-shots
	@ls $(SCREENSHOTS)/*.png

bench: build
	@for b in $(BUILD)/bench/xfer_bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf build
