# make run    build kestro.exe and start it under Wine
# make test   build everything and run every test: native, sanitizers, Windows under Wine
# make bench  timing and parsing benchmarks, natively and under Wine
# make dist   the release package dist/kestro-<version>-win64.zip, signed when
#             KESTRO_SIGN_CERT and KESTRO_SIGN_KEY name the certificate and key (PEM)
# make fuzz   each fuzz target (or FUZZ_TARGETS) for FUZZ_SECONDS (default 120), then the coverage reached

PRESETS := native native-asan windows
FUZZ_SECONDS ?= 120
FUZZ_TARGETS ?=

.PHONY: all deps build test bench fuzz run dist clean format

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@for p in $(PRESETS); do \
	  cmake --preset $$p >/dev/null && cmake --build --preset $$p || exit 1; \
	done

test: build
	ctest --preset native
	ctest --preset native-asan
	scripts/with-wine.sh ctest --preset windows

bench: deps
	cmake --preset native >/dev/null && cmake --build --preset native --target kestro_bench
	cmake --preset windows >/dev/null && cmake --build --preset windows --target kestro_bench kestro_program_bench
	@echo "== native =="
	build/native/bin/kestro_bench
	@echo "== Windows under Wine =="
	scripts/with-wine.sh /usr/lib/wine/wine64 build/windows/bin/kestro_bench.exe
	@echo "== kestro.exe under Wine, seen from another program =="
	scripts/with-wine.sh /usr/lib/wine/wine64 build/windows/bin/kestro_program_bench.exe

fuzz: deps
	scripts/fuzz.sh $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The signing settings go to the build each time: a package is signed only
# when they are given.
dist: deps
	cmake --preset windows -DKESTRO_SIGN_CERT="$(KESTRO_SIGN_CERT)" -DKESTRO_SIGN_KEY="$(KESTRO_SIGN_KEY)" >/dev/null
	cmake --build --preset windows --target dist

run: deps
	cmake --preset windows >/dev/null && cmake --build --preset windows --target kestro
	scripts/run.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
