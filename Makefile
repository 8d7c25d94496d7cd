# The two commands of the README, plus benchmarks and fuzzing.
#   make play   install what is missing, build, start the score server, run the game
#   make test   install what is missing, build, run every test headless
BUILD      := build
ASAN_BUILD := build-asan
TSAN_BUILD := build-tsan
JOBS       ?= $(shell nproc)
CTEST      := ctest --output-on-failure --no-tests=error -j$(JOBS)
# Leaks inside Mesa, X11 and OpenAL Soft are not ours to fix.
SAN_ENV    := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
              LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
              UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
              TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

.PHONY: all deps build play test unit-asan unit-tsan bench clean

all: build

deps:
	@tools/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

play: build
	tools/serve-scores $(BUILD)
	cd $(BUILD) && ./quorvane

test: build
	tools/headless $(CTEST) --test-dir $(BUILD)
	$(MAKE) --no-print-directory unit-asan unit-tsan

unit-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_UNIT_ONLY=ON \
	      -DQUORVANE_SANITIZE=address,undefined
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	$(SAN_ENV) tools/headless $(CTEST) --test-dir $(ASAN_BUILD) -L unit

unit-tsan:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_UNIT_ONLY=ON \
	      -DQUORVANE_SANITIZE=thread
	cmake --build $(TSAN_BUILD) -j$(JOBS) --target quorvane_net_tests
	$(SAN_ENV) tools/headless $(CTEST) --test-dir $(TSAN_BUILD) -L net

bench: build
	tools/headless tools/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
