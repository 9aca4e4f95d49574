# Varnoset: the two doors are `make run` and `make test`; both install what is missing first.
JOBS ?= 2
BUILD_RELEASE := build/release
BUILD_TEST := build/test

.PHONY: all run test build deps bench fuzz format clean install deb

all: build

deps:
	@scripts/deps.sh build

build: deps
	cmake -S . -B $(BUILD_RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOSET_TESTS=OFF
	cmake --build $(BUILD_RELEASE) -j $(JOBS)

PREFIX ?= /usr/local

# Builds the Release program and installs it, its desktop entry and its icons under PREFIX.
install: build
	cmake --install $(BUILD_RELEASE) --prefix $(PREFIX)

# Builds the Debian package build/release/varnoset_<version>_<arch>.deb (installed under /usr)
# and checks its control fields and contents, runs lintian (any error, warning or information
# tag fails) and appstreamcli on it, and checks that the packaged program runs.
deb: build
	@scripts/deps.sh deb
	rm -f $(BUILD_RELEASE)/varnoset_*.deb
	cd $(BUILD_RELEASE) && cpack -G DEB
	tests/packaging/check_deb.sh $$(ls $(BUILD_RELEASE)/varnoset_*.deb)

# Starts Varnoset on this desktop; without a display, on a private virtual desktop whose
# screenshots land in build/demo/.
run:
	@if [ -n "$$DISPLAY" ]; then scripts/deps.sh build; else scripts/deps.sh desktop; fi
	cmake -S . -B $(BUILD_RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOSET_TESTS=OFF
	cmake --build $(BUILD_RELEASE) -j $(JOBS)
	@if [ -n "$$DISPLAY" ]; then exec $(BUILD_RELEASE)/varnoset; else scripts/demo.sh $(BUILD_RELEASE)/varnoset build/demo; fi

BUILD_FUZZ := build/fuzz
FUZZ_SECONDS ?= 30
FUZZ_TARGETS := bmp_fuzz jpeg_fuzz png_fuzz regfile_fuzz

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, then fuzzes
# each picture decoder and the options file reader briefly.
test:
	@scripts/deps.sh test
	cmake -S . -B $(BUILD_TEST) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNOSET_SANITIZE=ON -DVARNOSET_STRICT=ON -DVARNOSET_TESTS=ON
	cmake --build $(BUILD_TEST) -j $(JOBS)
	cd $(BUILD_TEST) && ctest --output-on-failure -j 1
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_SECONDS)

# The libFuzzer targets (clang) under AddressSanitizer, each for FUZZ_SECONDS.
fuzz:
	@scripts/deps.sh test
	cmake -S . -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVARNOSET_FUZZ=ON -DVARNOSET_TESTS=OFF -DVARNOSET_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target $(FUZZ_TARGETS)
	cd $(BUILD_FUZZ) && ctest --output-on-failure -L fuzz

BUILD_BENCH := build/bench
BENCH_RUNS ?= 15

# Builds Release with the benchmarks and runs every one beside its peer tools on one private
# desktop, BENCH_RUNS repetitions each; the table of medians lands in build/bench/bench-table.md.
bench:
	@scripts/deps.sh bench
	cmake -S . -B $(BUILD_BENCH) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOSET_BENCH=ON -DVARNOSET_TESTS=OFF
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	tests/bench/bench_all.sh $(BUILD_BENCH) $(BENCH_RUNS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
