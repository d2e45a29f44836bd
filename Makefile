# Two commands for a newcomer: `make run` and `make test`. Everything else is CMake presets.
PRESET ?= default
BUILD   = build/$(PRESET)
DEMO    = build/demo/Corvane demo.txt

.PHONY: all deps configure build run test demo asan fuzz bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

demo: deps
	@bash scripts/make-demo-file.sh "$(DEMO)"

run: build demo
	@bash scripts/run-corvane.sh $(BUILD)/src/corvane "$(DEMO)"

test: build
	@ctest --preset $(PRESET)

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

fuzz: deps
	@cmake --preset fuzz >/dev/null && cmake --build --preset fuzz
	@bash scripts/run-fuzzers.sh build/fuzz/fuzz $(or $(SECONDS),60)

bench: deps
	@cmake --preset bench >/dev/null && cmake --build --preset bench
	@bash scripts/run-benchmarks.sh build/bench/bench

clean:
	rm -rf build
