# Two commands for a newcomer: `make run` and `make test`. Everything else is CMake presets.
# Each target installs the Debian packages of its own task first (scripts/install-deps.sh), so the
# first `make run` fetches and builds only what the application needs; `make test` adds the rest.
PRESET ?= default
BUILD   = build/$(PRESET)
DEMO    = build/demo/Corvane demo.txt
DEPS    = bash scripts/install-deps.sh

.PHONY: all app build run test demo asan fuzz bench package clean

all: build

# The application alone: the executable and the libraries it links, no tests.
app:
	@$(DEPS) run
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) --target corvane

# Everything the preset holds: the application, the tests and the installed desktop files.
build:
	@$(DEPS) test
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

demo:
	@$(DEPS) run
	@bash scripts/make-demo-file.sh "$(DEMO)"

run: app demo
	@bash scripts/run-corvane.sh $(BUILD)/src/corvane "$(DEMO)"

test: build
	@ctest --preset $(PRESET)

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

fuzz:
	@$(DEPS) fuzz
	@cmake --preset fuzz >/dev/null && cmake --build --preset fuzz
	@bash scripts/run-fuzzers.sh build/fuzz/fuzz $(or $(SECONDS),60)

bench:
	@$(DEPS) bench
	@cmake --preset bench >/dev/null && cmake --build --preset bench
	@bash scripts/run-benchmarks.sh build/bench/bench

# The Debian package built from the test build, installed, run and removed again (needs root or sudo).
package: build
	@$(DEPS) package
	@bash scripts/check-packaging.sh deb $(BUILD)

clean:
	rm -rf build
