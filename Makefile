# The two commands of the README:
#   make demo   the kit's demo session on WIN95.dll, under Wine
#   make test   installs what is missing, builds both builds, runs every test
BUILD := build
WIN32 := $(BUILD)/win32
NATIVE := $(BUILD)/native
RUN_WINDOWS := tools/winebox/run.sh --
JOBS ?= $(shell nproc)

.PHONY: all setup dll demo test test-native test-win32 build-win32 build-native bench bench-win32 \
        format clean

all: dll

setup:
	@tools/setup.sh

$(WIN32)/build.ninja:
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(NATIVE)/build.ninja:
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_BUILD_TYPE=Debug

# WIN95.dll with its import libraries, in build/win32/bin.
dll: setup $(WIN32)/build.ninja
	ninja -C $(WIN32) -j$(JOBS) WIN95 win95_import_libs

build-win32: setup $(WIN32)/build.ninja
	ninja -C $(WIN32) -j$(JOBS)

build-native: setup $(NATIVE)/build.ninja
	ninja -C $(NATIVE) -j$(JOBS)

demo: build-win32
	$(RUN_WINDOWS) tools/wine-exec.sh $(WIN32)/bin/kitdemo.exe

test-native: build-native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

# Every Windows test in one boot of the wine box.
test-win32: build-win32
	$(RUN_WINDOWS) ctest --test-dir $(WIN32) --output-on-failure

test: test-native test-win32

# Benchmarks print "ratio <name> <ours/baseline>" lines; nothing fails on time.
bench-win32: build-win32
	$(RUN_WINDOWS) tools/wine-exec.sh $(WIN32)/bin/log_bench.exe

bench: bench-win32

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) .winebox
