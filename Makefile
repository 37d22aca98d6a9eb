# The only entry point a person needs: `make run` plays, `make test` checks.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 20
# ON turns every compiler warning into an error (CI builds that way).
WERROR     ?= OFF

.PHONY: all deps configure build run test test-asan fuzz-smoke bench install uninstall package clean format format-check tidy pot

all: build

# Targets run one after another (deps before the build); the build itself runs JOBS jobs.
.NOTPARALLEL:

deps:
	@scripts/deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBALIN_WERROR=$(WERROR)

configure: $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: deps build
	$(BUILD)/zorbalin

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same tests, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZORBALIN_SANITIZE=ON -DZORBALIN_BENCH=OFF -DZORBALIN_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Runs every fuzz target for FUZZ_SECONDS on its seed corpus.
fuzz-smoke: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBALIN_FUZZ=ON -DZORBALIN_BENCH=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)
	scripts/fuzz-smoke.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: deps build
	@for b in $(BUILD)/bench_*; do [ -x "$$b" ] && "$$b"; done

# Every C++ file as .clang-format wants it: check (CI), or rewrite in place.
format-check: deps
	scripts/format-check.sh

format: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# clang-tidy over the whole tree with .clang-tidy: the naming convention and a few checks for
# real faults (docs/conventions.md). Fails on any warning.
tidy: deps
	scripts/tidy.sh build-tidy $(JOBS)

# The translation template po/zorbalin.pot renewed from the sources and merged into po/*.po.
pot: deps
	scripts/update-po.sh

install: build
	cmake --install $(BUILD)

# Removes what `make install` put in place (same prefix and DESTDIR).
uninstall: build
	scripts/uninstall.sh $(BUILD)

# The Debian package from a Release build of its own, checked by lintian.
package: deps
	scripts/package.sh $(PACKAGE_BUILD) $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) build-tidy
