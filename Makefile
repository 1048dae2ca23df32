# Convenience wrapper around CMake. Everything it needs comes from Debian's packages.
PRESET ?= default
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc)

DEB_PACKAGES := cmake g++ make pkg-config libsqlite3-dev libgtest-dev libgmock-dev \
                libbenchmark-dev libcli11-dev qt6-base-dev fonts-noto-core
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: deps configure build test demo bench clean

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

demo: build
	$(BUILD)/app/xfer/xfer --help

bench: build
	@for b in $(BUILD)/bench/xfer_bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf build
