# The two set-up commands of the README: `make run` and `make test`.
# Both install what is missing (Debian packages), configure and build.

JOBS ?= $(shell nproc)
BUILD ?= build/plain
BUILD_ASAN ?= build/clang-asan
BUILD_RELEASE ?= build/release
BUILD_FUZZ ?= build/fuzz
# How long each fuzz target runs under `make fuzz`: FUZZ_SECONDS, or FUZZ_RUNS executions
# (`make fuzz FUZZ_RUNS=1000000`); given both, whichever ends first.
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=
FUZZ_LIMIT = $(if $(FUZZ_RUNS),-runs=$(FUZZ_RUNS) $(if $(filter command line environment,\
  $(origin FUZZ_SECONDS)),-max_total_time=$(FUZZ_SECONDS)),-max_total_time=$(FUZZ_SECONDS))
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

.PHONY: run play test deps build build-asan build-release bench fuzz format format-check clean \
        windows windows-deps windows-test

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
# target's seeds and the crash inputs found so far. Formatting is checked first. The
# Windows build comes before the plain build's tests, which play tarnik-sim.exe under Wine
# against tarnik-sim; its own checks (exports, resources, registration, cscript) follow.
test: format-check build windows build-asan build-release
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)
	@ctest --test-dir $(BUILD_RELEASE) --output-on-failure -j $(JOBS)
	@ctest --test-dir $(BUILD_WIN32) --output-on-failure
	@ctest --test-dir $(BUILD_WIN64) --output-on-failure

deps:
	@missing=""; \
	for p in $(DEPS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	  $$sudo apt-get update -q && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -q $$missing; \
	fi

build: deps
	@$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNIK_WERROR=ON -DTARNIK_WINE_TESTS=ON
	@$(CMAKE_BUILD) $(BUILD) -j $(JOBS) -- --no-print-directory

build-asan: deps
	@$(CONFIGURE) -B $(BUILD_ASAN) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DTARNIK_SANITIZE=ON -DTARNIK_WERROR=ON
	@$(CMAKE_BUILD) $(BUILD_ASAN) -j $(JOBS) -- --no-print-directory

build-release: deps
	@$(CONFIGURE) -B $(BUILD_RELEASE) -DCMAKE_BUILD_TYPE=Release -DTARNIK_BENCH=OFF
	@$(CMAKE_BUILD) $(BUILD_RELEASE) -j $(JOBS) -- --no-print-directory

# Builds each fuzz target with libFuzzer (clang) and runs it for FUZZ_SECONDS or FUZZ_RUNS;
# FUZZ_TARGETS="chat_line hot_command" runs only those. What it learns stays in
# build/fuzz/corpus/; an input that breaks a target is written to fuzz/crashes/<target>/,
# where `make test` replays it from then on.
fuzz: deps
	@$(CONFIGURE) -B $(BUILD_FUZZ) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTARNIK_FUZZ=ON -DTARNIK_BENCH=OFF
	@$(CMAKE_BUILD) $(BUILD_FUZZ) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS)) -- --no-print-directory
	@for name in $(FUZZ_TARGETS); do \
	  mkdir -p $(BUILD_FUZZ)/corpus/$$name fuzz/crashes/$$name; \
	  printf '%-18s ' $$name; \
	  times > $(BUILD_FUZZ)/$$name.cpu; \
	  $(BUILD_FUZZ)/fuzz/fuzz_$$name $(FUZZ_LIMIT) -print_final_stats=1 \
	    -artifact_prefix=fuzz/crashes/$$name/ $(BUILD_FUZZ)/corpus/$$name fuzz/corpus/$$name \
	    >$(BUILD_FUZZ)/$$name.log 2>&1 \
	    || { echo "found a fault:"; tail -n 40 $(BUILD_FUZZ)/$$name.log; exit 1; }; \
	  times >> $(BUILD_FUZZ)/$$name.cpu; \
	  awk '/^stat::number_of_executed_units/ {runs = $$2} /^stat::average_exec_per_sec/ {rate = $$2} \
	    /^stat::peak_rss_mb/ {rss = $$2} \
	    END {printf "%d runs, %d per second, %d MB, no finding\n", runs, rate, rss}' $(BUILD_FUZZ)/$$name.log; \
	  $(FUZZ_CPU) $(BUILD_FUZZ)/$$name.cpu $(BUILD_FUZZ)/$$name.log; \
	done

# The processor time the fuzz target took (the shell's `times`, written before and after
# it ran: the second line of each is its children's user and system time), and the
# executions per second of it: on a busy machine the wall-clock rate above is lower.
FUZZ_CPU = awk 'FILENAME ~ /cpu$$/ && FNR % 2 == 0 {split($$1, u, "m"); split($$2, s, "m"); \
  cpu = u[1] * 60 + u[2] + s[1] * 60 + s[2] - cpu} /^stat::number_of_executed_units/ {runs = $$2} \
  END {printf "%-18s %.1f processor seconds, %.0f runs per processor second\n", "", cpu, runs / (cpu > 0 ? cpu : 1)}'

# The Windows DLL, cross-built for i686 (the game client's architecture, the DLL a player
# installs) and x86-64, from Debian's mingw-w64; checked under Wine by `make windows-test`.
WINDOWS_DEPS = g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools \
               wine64 libwine-dev cmake make
BUILD_WIN32 ?= build/win32
BUILD_WIN64 ?= build/win64
# pugixml's sources from Debian's source package, the version the Linux build uses,
# fetched with a private source list: the system's apt configuration stays as it is.
PUGIXML_DIR = build/deps/pugixml
APT_SRC = build/deps/apt
APT_SRC_OPTS = -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$(CURDIR)/$(APT_SRC)/sources \
               -o Dir::State::Lists=$(CURDIR)/$(APT_SRC)/lists -o Debug::NoLocking=1 -q
WIN_CONFIGURE = cmake -S . -Wno-dev -DCMAKE_BUILD_TYPE=Release -DTARNIK_WERROR=ON \
                -DTARNIK_PUGIXML_DIR=$(CURDIR)/$(PUGIXML_DIR) $(if $(LAUNCHER),-DCMAKE_CXX_COMPILER_LAUNCHER=$(LAUNCHER)) >/dev/null

windows-deps:
	@missing=""; \
	for p in $(WINDOWS_DEPS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	  $$sudo apt-get update -q && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -q $$missing; \
	fi
	@if [ ! -f $(PUGIXML_DIR)/src/pugixml.cpp ]; then \
	  echo "Fetching pugixml's sources from Debian"; \
	  mkdir -p $(APT_SRC)/sources $(APT_SRC)/lists/partial && \
	  . /etc/os-release && \
	  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
	    "$$VERSION_CODENAME" > $(APT_SRC)/sources/debian-src.sources && \
	  apt-get $(APT_SRC_OPTS) update >/dev/null && \
	  (cd build/deps && apt-get $(APT_SRC_OPTS) source --download-only pugixml >/dev/null) && \
	  tar -xzf build/deps/pugixml_*.orig.tar.gz -C build/deps && \
	  rm -rf $(PUGIXML_DIR) && mv build/deps/pugixml-[0-9]* $(PUGIXML_DIR) && \
	  test -f $(PUGIXML_DIR)/src/pugixml.cpp; \
	fi

windows: windows-deps
	@$(WIN_CONFIGURE) -B $(BUILD_WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	@$(CMAKE_BUILD) $(BUILD_WIN32) -j $(JOBS) -- --no-print-directory
	@$(WIN_CONFIGURE) -B $(BUILD_WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
	@$(CMAKE_BUILD) $(BUILD_WIN64) -j $(JOBS) -- --no-print-directory

# The Windows checks: exports and resources of both DLLs, and under a headless Wine in a
# throwaway prefix: regsvr32 and its registry keys, and cscript driving the object.
windows-test: windows
	@ctest --test-dir $(BUILD_WIN32) --output-on-failure
	@ctest --test-dir $(BUILD_WIN64) --output-on-failure

bench: build
	$(BUILD)/bench/tarnik_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
