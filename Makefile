# The two set-up commands of the README: `make run` and `make test`.
# Each installs what is missing from Debian's packages, configures, builds, then runs.

BUILD    ?= build
PACKAGES := cmake g++ make qt6-base-dev qt6-qpa-plugins xvfb xauth xdotool fonts-dejavu-core
SUDO     := $(if $(filter 0,$(shell id -u)),,sudo)
JOBS     := $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build deps clean

run: build
	@bash tools/run-editor.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing from Debian's packages:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

clean:
	rm -rf $(BUILD)
