# The two commands a user needs: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME  ?= 60
FUZZ_RUNS  ?=
JOBS       ?= 2
BENCH      ?=
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test bench asan tsan fuzz format clean install

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@sh scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure

# CMake's install; DESTDIR (from the environment or the command line) puts the tree below a staging folder.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

bench: build
	@sh bench/run.sh $(BUILD) $(BENCH)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVORLAN_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure

tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVORLAN_TSAN=ON
	cmake --build $(TSAN_BUILD) -j$(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=die_after_fork=0 ctest --output-on-failure

# Every reader of outside data under libFuzzer, ASan and UBSan, FUZZ_TIME seconds each (FUZZ=<target> for one;
# FUZZ_RUNS=<n> for n executions each instead).
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	      -DCMAKE_CXX_COMPILER=clang++ -DVORLAN_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target vorlan_fuzzers
	FUZZ_RUNS=$(FUZZ_RUNS) sh tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_TIME) $(FUZZ)

format:
	find platform tags playlist masks engine player widgets masker tests bench \
	     -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
