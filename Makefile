# make run   - install what is missing, build, open the viewer on the sample folder
# make test  - install what is missing, build, run the unit and end-to-end tests
# make bench - the benchmarks, under Wine
# make fuzz  - the decoders' fuzzers (FUZZ_SECONDS each)
# make dist  - the release zips, build/dist/veltra-<version>-win32.zip and -win64.zip
# make screenshots - the README's screenshots, made again from the sample folder
FUZZ_SECONDS ?= 300

.PHONY: all setup build run test bench fuzz dist screenshots clean

all: build

setup:
	@tools/setup.sh

build: setup
	@tools/build.sh

run: build
	@tools/run.sh

test: build
	@tools/run_tests.sh

bench: build
	@bench/run_bench.sh

dist: build
	@tools/dist.sh

screenshots: build
	@tools/screenshots.sh

fuzz:
	@tools/setup.sh --fuzz
	@tests/fuzz/run_fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
