# The two set-up commands of the README: `make run` and `make test`.
# Both install what is missing (Debian packages), configure and build.

JOBS ?= $(shell nproc)
BUILD ?= build/plain
BUILD_ASAN ?= build/asan
DEPS = cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
       libpugixml-dev nlohmann-json3-dev libedit-dev clang-format

.PHONY: run test deps build build-asan bench format format-check clean

run: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target tarnik tarnik-sim
	$(BUILD)/tarnik-sim $(ARGS)

test: build build-asan
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

deps:
	@missing=""; \
	for p in $(DEPS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	  $$sudo apt-get update -q && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -q $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DTARNIK_SANITIZE=ON >/dev/null
	cmake --build $(BUILD_ASAN) -j $(JOBS)

bench: build
	$(BUILD)/bench/tarnik_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
