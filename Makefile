# The two set-up commands of the README: `make run` and `make test`.
# Both install what is missing (Debian packages), configure and build.

JOBS ?= $(shell nproc)
BUILD ?= build/plain
BUILD_ASAN ?= build/asan
BUILD_RELEASE ?= build/release
DEPS = cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
       libpugixml-dev nlohmann-json3-dev libedit-dev clang-format
# Reuses earlier compilations where ccache is installed; builds the same without it.
LAUNCHER := $(shell command -v ccache 2>/dev/null)
export CCACHE_BASEDIR := $(CURDIR)
CONFIGURE = cmake -S . -Wno-dev $(if $(LAUNCHER),-DCMAKE_CXX_COMPILER_LAUNCHER=$(LAUNCHER)) >/dev/null
CMAKE_BUILD = cmake --build
MAKEFLAGS += --no-print-directory

.PHONY: run test deps build build-asan build-release bench format format-check clean

run: deps
	@$(CONFIGURE) -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@$(CMAKE_BUILD) $(BUILD) -j $(JOBS) --target tarnik tarnik-sim -- --no-print-directory
	@$(BUILD)/tarnik-sim $(ARGS)

# The plain and sanitizer builds treat warnings as errors; the Release build is built and
# tested as a user configures it, with nothing but the build type.
test: build build-asan build-release
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
	@$(CONFIGURE) -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DTARNIK_SANITIZE=ON -DTARNIK_WERROR=ON
	@$(CMAKE_BUILD) $(BUILD_ASAN) -j $(JOBS) -- --no-print-directory

build-release: deps
	@$(CONFIGURE) -B $(BUILD_RELEASE) -DCMAKE_BUILD_TYPE=Release -DTARNIK_BENCH=OFF
	@$(CMAKE_BUILD) $(BUILD_RELEASE) -j $(JOBS) -- --no-print-directory

bench: build
	$(BUILD)/bench/tarnik_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
