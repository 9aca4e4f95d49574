# Varnoset: the two doors are `make run` and `make test`; both install what is missing first.
JOBS ?= 2
BUILD_RELEASE := build/release
BUILD_TEST := build/test

.PHONY: all run test build deps bench fuzz format clean

all: build

deps:
	@scripts/deps.sh build

build: deps
	cmake -S . -B $(BUILD_RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOSET_TESTS=OFF
	cmake --build $(BUILD_RELEASE) -j $(JOBS)

# Starts Varnoset on this desktop; without a display, on a private virtual desktop whose
# screenshots land in build/demo/.
run:
	@if [ -n "$$DISPLAY" ]; then scripts/deps.sh build; else scripts/deps.sh desktop; fi
	cmake -S . -B $(BUILD_RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOSET_TESTS=OFF
	cmake --build $(BUILD_RELEASE) -j $(JOBS)
	@if [ -n "$$DISPLAY" ]; then exec $(BUILD_RELEASE)/varnoset; else scripts/demo.sh $(BUILD_RELEASE)/varnoset build/demo; fi

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
test:
	@scripts/deps.sh test
	cmake -S . -B $(BUILD_TEST) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNOSET_SANITIZE=ON -DVARNOSET_TESTS=ON
	cmake --build $(BUILD_TEST) -j $(JOBS)
	cd $(BUILD_TEST) && ctest --output-on-failure -j 1

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
