# ゼント: `make run` and `make test` are all a newcomer needs.
BUILD    ?= build
RUNDIR   ?= run
DATA     ?= data
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := $(shell grep -v '^\#' tools/debian-packages.txt)

.PHONY: all deps build program db run test bench package clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

# Everything: the program, its tools, the tests and the benchmarks.
build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

# Only what running needs: the program and the database tool.
program: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target zento zento-makedb

# The working folder holds the three files the program opens by relative name.
db: program
	@mkdir -p $(RUNDIR)
	@if [ -f app/zento.hlp ]; then cp -u app/zento.hlp $(RUNDIR)/zento.hlp; fi
	@if [ ! -f $(RUNDIR)/zento.dll ]; then \
	  $(BUILD)/tools/zento-makedb --data $(DATA) $(RUNDIR)/zento.dll; \
	fi

run: db
	@tools/run-program.sh $(BUILD)/app/zento $(RUNDIR)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: build
	tools/run-benchmarks.sh $(BUILD)

# The Debian package, in $(BUILD)/package/, checked by lintian.
package: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target zento-installed
	rm -f $(BUILD)/package/zento_*.deb
	cd $(BUILD) && cpack -G DEB -B package
	lintian --fail-on error $(BUILD)/package/zento_*.deb
	@ls -l $(BUILD)/package/zento_*.deb

clean:
	rm -rf $(BUILD)
