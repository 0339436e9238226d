# The two set-up commands of the README: `make run` and `make test`.
# Both install what is missing (Debian packages), configure and build.

JOBS ?= $(shell nproc)
BUILD ?= build/plain
BUILD_ASAN ?= build/clang-asan
BUILD_RELEASE ?= build/release
BUILD_FUZZ ?= build/fuzz
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := $(notdir $(wildcard fuzz/corpus/*))
DEPS = cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
       libpugixml-dev nlohmann-json3-dev libedit-dev clang-format \
       clang libclang-rt-14-dev libxml2-utils
# Reuses earlier compilations where ccache is installed; builds the same without it.
LAUNCHER := $(shell command -v ccache 2>/dev/null)
export CCACHE_BASEDIR := $(CURDIR)
CONFIGURE = cmake -S . -Wno-dev $(if $(LAUNCHER),-DCMAKE_CXX_COMPILER_LAUNCHER=$(LAUNCHER)) >/dev/null
CMAKE_BUILD = cmake --build
MAKEFLAGS += --no-print-directory

.PHONY: run play test deps build build-asan build-release bench fuzz format format-check clean

run: deps
	@$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@$(CMAKE_BUILD) $(BUILD) -j $(JOBS) --target tarnik tarnik-sim -- --no-print-directory
	@$(PLAY)

# Starts the simulator already built in $(BUILD), as `make run` ends. A player who quits at
# the terminal while an action still runs has read why on standard error; status 3 would
# only add make's "*** [Makefile] Error 3", which reads like a failed build. Scripts
# (--script, or input that is not a terminal) keep every status.
PLAY = status=0; $(BUILD)/tarnik-sim $(ARGS) || status=$$?; \
  if [ $$status -eq 3 ] && [ -t 0 ] && [ -z "$(if $(filter --script --script=%,$(ARGS)),script)" ]; \
  then status=0; fi; exit $$status
play:
	@$(PLAY)

# The plain build (GCC) and the sanitizer build (clang) treat warnings as errors, so both
# compilers keep the tree clean; the Release build is built and tested as a user
# configures it, with nothing but the build type. Each build also replays every fuzz
# target's seeds and the crash inputs found so far. Formatting is checked first.
test: format-check build build-asan build-release
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)
	@ctest --test-dir $(BUILD_RELEASE) --output-on-failure -j $(JOBS)

deps:
	@missing=""; \
	for p in $(DEPS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	  $$sudo apt-get update -q && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -q $$missing; \
	fi

build: deps
	@$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNIK_WERROR=ON
	@$(CMAKE_BUILD) $(BUILD) -j $(JOBS) -- --no-print-directory

build-asan: deps
	@$(CONFIGURE) -B $(BUILD_ASAN) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DTARNIK_SANITIZE=ON -DTARNIK_WERROR=ON
	@$(CMAKE_BUILD) $(BUILD_ASAN) -j $(JOBS) -- --no-print-directory

build-release: deps
	@$(CONFIGURE) -B $(BUILD_RELEASE) -DCMAKE_BUILD_TYPE=Release -DTARNIK_BENCH=OFF
	@$(CMAKE_BUILD) $(BUILD_RELEASE) -j $(JOBS) -- --no-print-directory

# Builds each fuzz target with libFuzzer (clang) and runs it for FUZZ_SECONDS. What it
# learns stays in build/fuzz/corpus/; an input that breaks a target is written to
# fuzz/crashes/<target>/, where `make test` replays it from then on.
fuzz: deps
	@$(CONFIGURE) -B $(BUILD_FUZZ) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTARNIK_FUZZ=ON -DTARNIK_BENCH=OFF
	@$(CMAKE_BUILD) $(BUILD_FUZZ) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS)) -- --no-print-directory
	@for name in $(FUZZ_TARGETS); do \
	  mkdir -p $(BUILD_FUZZ)/corpus/$$name fuzz/crashes/$$name; \
	  printf '%-18s ' $$name; \
	  $(BUILD_FUZZ)/fuzz/fuzz_$$name -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=fuzz/crashes/$$name/ $(BUILD_FUZZ)/corpus/$$name fuzz/corpus/$$name \
	    >$(BUILD_FUZZ)/$$name.log 2>&1 \
	    || { echo "found a fault:"; tail -n 40 $(BUILD_FUZZ)/$$name.log; exit 1; }; \
	  awk '/^stat::number_of_executed_units/ {runs = $$2} /^stat::average_exec_per_sec/ {rate = $$2} \
	    END {printf "%d runs, %d per second, no finding\n", runs, rate}' $(BUILD_FUZZ)/$$name.log; \
	done

bench: build
	$(BUILD)/bench/tarnik_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
