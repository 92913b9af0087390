# The two commands of the README: `make run` and `make test`. Each installs
# what is missing, builds, generates the data kit and then runs.
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 10

ASAN_BUILD ?= build-asan

.PHONY: all deps configure build kit run test unit fuzz sanitize bench clean

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
	  CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVELMOR_FUZZ=ON \
	    -DVELMOR_DEBUG_INFO=-gline-tables-only; fi
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

test: unit fuzz

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@if [ ! -f $(ASAN_BUILD)/build.ninja ]; then cmake -S . -B $(ASAN_BUILD) -G Ninja -DVELMOR_SANITIZE=ON; fi
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	scripts/make-kit $(ASAN_BUILD)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) --timeout 1200

# The speed benchmarks of bench/ (not part of `make test`): path searches and
# every field's path database on one thread, composing, the kit's time on
# the CPUs allowed. Each prints its time against its goal.
bench: kit
	cmake --build $(BUILD) -j $(JOBS) --target bench_pathsearch bench_pathdatabase bench_compose
	cd $(BUILD) && bench/bench_pathsearch
	cd $(BUILD) && bench/bench_compose
	cd $(BUILD) && bench/bench_pathdatabase
	bench/kit-time.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(ASAN_BUILD)
