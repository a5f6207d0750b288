# The two commands of a fresh machine:
#   make run   set up, build, and run the main job
#   make test  set up, build, and pass the whole test suite, then the same
#              suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
#              then the threaded tests under ThreadSanitizer, and last the
#              optimised Release configuration a user builds by default,
#              with every benchmark run once at its smallest size
BUILD ?= build
SAN_BUILD ?= build-sanitize
REL_BUILD ?= build-release
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Leak detection on, and any sanitizer finding fails the run.
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1 \
          UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

# ThreadSanitizer: only the test programs that run model instances and
# parameter readers on several threads, and only those tests in them.
TSAN_BUILD ?= build-tsan
TSAN_TARGETS = test_hostile test_amiparam test_amisim
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

.PHONY: run test test-plain test-sanitize test-tsan test-release setup build build-sanitize fuzz clean

setup:
	@./tools/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DKORVAN_WERROR=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

build-sanitize: setup
	@cmake -S . -B $(SAN_BUILD) -G Ninja -DKORVAN_WERROR=ON -DKORVAN_SANITIZE=ON \
	    -DKORVAN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)

test-plain: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: build-sanitize
	@cd $(SAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)

test-tsan: setup
	@cmake -S . -B $(TSAN_BUILD) -G Ninja -DKORVAN_WERROR=ON -DKORVAN_TSAN=ON \
	    -DKORVAN_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	@$(TSAN_ENV) $(TSAN_BUILD)/tests/test_hostile --gtest_filter='InstanceThreads.*' --gtest_brief=1
	@$(TSAN_ENV) $(TSAN_BUILD)/tests/test_amiparam --gtest_filter='ReaderThreads.*' --gtest_brief=1
	@$(TSAN_ENV) $(TSAN_BUILD)/tests/test_amisim --gtest_filter='ParallelThreads.*' --gtest_brief=1

# The optimiser of some compilers warns where lower levels do not: build what a
# user's plain Release configure builds, with warnings as errors, and run it.
# Then each benchmark runs once at its smallest size, so none lands broken.
test-release: setup
	@cmake -S . -B $(REL_BUILD) -G Ninja -DKORVAN_WERROR=ON -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(REL_BUILD) -j $(JOBS)
	@cd $(REL_BUILD) && ctest --output-on-failure -j $(JOBS)
	@./tools/bench_smoke.sh $(REL_BUILD)

test: test-plain test-sanitize test-tsan test-release

run: build
	@./tools/run.sh $(BUILD)

# Each libFuzzer target for FUZZ_SECONDS, from the seed corpus in fuzz/corpus;
# what it finds lands in $(FUZZ_BUILD)/findings.
fuzz:
	@KORVAN_NEED_CLANG=1 ./tools/setup.sh
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKORVAN_FUZZ=ON \
	    -DKORVAN_TESTS=OFF -DKORVAN_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target korvan_fuzz
	@./tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	@rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD) $(REL_BUILD)
