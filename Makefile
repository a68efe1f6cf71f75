# The two commands of the README:
#   make demo   the kit's demo session on WIN95.dll, under Wine
#   make test   installs what is missing, builds both builds, runs every test
BUILD := build
WIN32 := $(BUILD)/win32
NATIVE := $(BUILD)/native
FUZZ := $(BUILD)/fuzz
BENCH := $(BUILD)/bench
# make fuzz: seconds per fuzz target; make test runs each for FUZZ_SMOKE.
FUZZ_SECONDS ?= 300
FUZZ_SMOKE ?= 20
FUZZ_TARGETS := import files
# Windows programs run through tools/winrun.sh: with the host's Wine or in
# the wine box (WIN95_WINE_MODE=auto|host|box); each in a Wine lane of its
# own, so the Windows suites run WIN32_JOBS at a time.
RUN_WINDOWS := tools/winrun.sh --
JOBS ?= $(shell nproc)
WIN32_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))

.PHONY: all setup dll demo test test-native test-win32 build-win32 build-native format clean \
        build-fuzz fuzz fuzz-smoke run-fuzz bench bench-native bench-win32 kitdb

all: dll

setup:
	@tools/setup.sh

$(WIN32)/build.ninja:
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(NATIVE)/build.ninja:
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_BUILD_TYPE=Debug

# WIN95.dll as a kit ships it (size-optimised, stripped, its debug
# information in WIN95.dll.debug beside it) with its import libraries, in
# build/win32/bin; prints the DLL's size against the 200 KB budget.
DLL_BUDGET := 204800
dll: setup $(WIN32)/build.ninja
	ninja -C $(WIN32) -j$(JOBS) WIN95 win95_import_libs
	@size=$$(stat -c %s $(WIN32)/bin/WIN95.dll); \
	 echo "WIN95.dll: $$size bytes ($$((size / 1024)) KB of a $$(($(DLL_BUDGET) / 1024)) KB budget)," \
	      "debug information in $(WIN32)/bin/WIN95.dll.debug"; \
	 [ $$size -le $(DLL_BUDGET) ] || { echo "WIN95.dll is over its size budget"; exit 1; }

build-win32: setup $(WIN32)/build.ninja
	ninja -C $(WIN32) -j$(JOBS)

build-native: setup $(NATIVE)/build.ninja
	ninja -C $(NATIVE) -j$(JOBS)

# The database tool, native and Windows.
kitdb: setup $(NATIVE)/build.ninja $(WIN32)/build.ninja
	ninja -C $(NATIVE) -j$(JOBS) kitdb
	ninja -C $(WIN32) -j$(JOBS) kitdb

# The demo builds only what it installs: the library, Connect.exe, the
# simulated line's doubles and the demo itself.
demo: setup $(WIN32)/build.ninja
	ninja -C $(WIN32) -j$(JOBS) kitdemo
	$(RUN_WINDOWS) tools/wine-exec.sh $(WIN32)/bin/kitdemo.exe

test-native: build-native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

# Every Windows test, WIN32_JOBS at a time (in one boot of the wine box in
# box mode).
test-win32: build-win32
	$(RUN_WINDOWS) ctest --test-dir $(WIN32) --output-on-failure -j$(WIN32_JOBS)

test: test-native test-win32 fuzz-smoke

# The database fuzz targets (libFuzzer, ASan, UBSan): new inputs go to
# build/fuzz/corpus, the checked-in seeds in tests/database/fuzz/corpus are
# only read, findings land in fuzz-out/. Their scratch files live in memory
# (/dev/shm) where there is some.
$(FUZZ)/build.ninja:
	cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWIN95_FUZZ=ON

build-fuzz: setup $(FUZZ)/build.ninja
	ninja -C $(FUZZ) -j$(JOBS) $(FUZZ_TARGETS:%=database_%_fuzzer)

fuzz: build-fuzz
	@$(MAKE) --no-print-directory run-fuzz SECONDS=$(FUZZ_SECONDS)

fuzz-smoke: build-fuzz
	@$(MAKE) --no-print-directory run-fuzz SECONDS=$(FUZZ_SMOKE)

run-fuzz:
	@mkdir -p fuzz-out
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ)/corpus/$$t; \
	    scratch=$$(mktemp -d /dev/shm/win95-fuzz.XXXXXX 2>/dev/null || mktemp -d); \
	    echo "fuzz: database_$${t}_fuzzer for $(SECONDS) s"; \
	    status=0; \
	    TMPDIR=$$scratch $(FUZZ)/bin/database_$${t}_fuzzer \
	        -max_total_time=$(SECONDS) -print_final_stats=1 -artifact_prefix=fuzz-out/ \
	        $(FUZZ)/corpus/$$t tests/database/fuzz/corpus/$$t > $(FUZZ)/$$t.log 2>&1 \
	        || status=$$?; \
	    rm -rf $$scratch; \
	    grep -E '^(#[0-9]+.*DONE|Done|stat::number_of_executed_units|stat::peak_rss_mb)' \
	        $(FUZZ)/$$t.log || true; \
	    if [ $$status -ne 0 ]; then \
	        tail -n 40 $(FUZZ)/$$t.log; \
	        echo "fuzz: database_$${t}_fuzzer failed; see fuzz-out/ and $(FUZZ)/$$t.log"; \
	        exit 1; \
	    fi; \
	done

# Benchmarks of the database engine: release build without sanitizers,
# native logging off. Ends with "ratio <name> <ours/baseline>" lines.
$(BENCH)/build.ninja:
	cmake -S . -B $(BENCH) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_BUILD_TYPE=Release -DWIN95_SANITIZE=OFF -DWIN95_BENCH=ON

bench-native: setup $(BENCH)/build.ninja
	ninja -C $(BENCH) -j$(JOBS) database_bench
	WIN95_LOG_FLAGS=0 $(BENCH)/bin/database_bench

# The log stream's benchmark, under Wine.
bench-win32: build-win32
	$(RUN_WINDOWS) tools/wine-exec.sh $(WIN32)/bin/log_bench.exe

# Every benchmark; each ends with "ratio <name> <ours/baseline>" lines.
bench: bench-native bench-win32

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) .winebox
