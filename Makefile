# Thin wrapper around CMake. `make` builds into build/, `make test` installs
# what is missing, builds and runs every test, `make demo` runs the main job,
# `make windows` builds the Windows module.
BUILD ?= build
JOBS ?= $(shell nproc)
CXX_COMPILER ?= $(shell command -v clang++ >/dev/null 2>&1 && echo clang++ || echo g++)
CMAKE_FLAGS ?=

.PHONY: all configure test test-sanitize demo bench deps windows clean format

all: configure
	cmake --build $(BUILD) -j $(JOBS)

configure: $(BUILD)/build.ninja

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(CXX_COMPILER) $(CMAKE_FLAGS)

deps:
	./scripts/install-deps

# Every test in the normal build (fuzz targets included), then again with
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	$(MAKE) all
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) test-sanitize

test-sanitize:
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=$(CXX_COMPILER) \
		-DSORVEX_SANITIZE=ON -DSORVEX_FUZZ=OFF $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

demo: all
	$(BUILD)/sorvex demo

bench: deps
	$(MAKE) all
	cmake --build $(BUILD) --target benchmarks
	for b in $(BUILD)/bench/*_bench; do $$b; done

# The module as a 32-bit Windows DLL, build-windows/sorvex.p.
windows:
	./scripts/install-deps windows
	cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DSORVEX_TESTS=OFF
	cmake --build build-windows --target sorvex_module

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
