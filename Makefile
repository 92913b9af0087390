# The two commands of the README: `make run` and `make test`. Each installs
# what is missing, builds, generates the data kit and then runs.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 10

.PHONY: all deps configure build kit run test unit fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja; fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

kit: build
	@scripts/make-kit $(BUILD)

run: kit
	cd $(BUILD)/kit && ../velmor

unit: kit
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

fuzz: deps
	@if [ ! -f $(FUZZ_BUILD)/build.ninja ]; then \
	  CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVELMOR_FUZZ=ON; fi
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

test: unit fuzz

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
