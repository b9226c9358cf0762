# Everyday commands.  `make run` and `make test` set up a fresh Debian machine first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
GEN        := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
# Rebuilds in several checkouts share compiled objects when ccache is there.
GEN        += $(shell command -v ccache >/dev/null 2>&1 && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")

PREFIX     ?= /usr/local

.PHONY: all deps build run test test-gui test-asan test-fuzz fuzz fuzz-build fuzz-seeds bench clean format install package check-install

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/piyonote2

test: build test-asan test-fuzz
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

# The engine once more, with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DPIYO_GUI=OFF -DPIYO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -L engine --timeout 900

# The readers under libFuzzer (clang, AddressSanitizer, UBSan). `make fuzz` fuzzes each target
# for FUZZ_SECONDS; `make test-fuzz` runs each over its committed corpus once.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIYO_FUZZ=ON \
	  -DPIYO_GUI=OFF -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

test-fuzz: fuzz-build
	scripts/run-fuzz.sh $(FUZZ_BUILD) 0

# Writes the seed corpus afresh with the program's own writers.
fuzz-seeds: fuzz-build
	$(FUZZ_BUILD)/fuzz/fuzz_seeds fuzz/corpus

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Release -DPIYO_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do \
	  echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b $(BENCH_ARGS) || exit 1; done

# Installs under PREFIX, inside DESTDIR when given (staged installs, packages).
install: deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX="$(PREFIX)"
	cmake --build $(BUILD) -j $(JOBS) --target piyonote2
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD)

# A Debian package in $(BUILD) (piyonote2_<version>_<arch>.deb).
package: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target piyonote2
	cd $(BUILD) && cpack -G DEB

# Installs into a scratch folder and validates what a desktop reads.
check-install:
	@scripts/check-install.sh

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
