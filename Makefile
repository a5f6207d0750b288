# The two commands of a fresh machine:
#   make run   set up, build, and run the main job
#   make test  set up, build, and pass the whole test suite
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test setup configure build clean

setup:
	@./tools/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DKORVAN_WERROR=ON $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@./tools/run.sh $(BUILD)

clean:
	@rm -rf $(BUILD)
