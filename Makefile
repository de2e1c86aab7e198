# make run   installs what is missing, builds, and shows a gobu on the desktop
# make test  installs what is missing, builds, and runs every test
# make bench builds the benchmarks without sanitizers and runs them
# make fuzz  runs every fuzz target for FUZZ_SECONDS (default 300) each
.PHONY: all setup build test run bench fuzz clean

all: build

setup:
	@sh scripts/setup

build: setup
	@sh scripts/build

test: build
	@sh scripts/test

run: build
	@sh scripts/run

bench: setup
	@sh scripts/bench

fuzz: build
	@sh scripts/fuzz

clean:
	rm -rf build
