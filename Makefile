# Front door: thin targets over the CMake presets.
.PHONY: all setup build test run bench fuzz dist clean

WINE_RUN := scripts/wine-run.sh --prefix build/windows/wineprefix

all: build

setup:
	@bash scripts/setup.sh

build: setup
	cmake --preset native >/dev/null
	cmake --build --preset native
	cmake --preset windows >/dev/null
	cmake --build --preset windows

# Every preset: build, then its tests. The Windows tests run under Wine on one private screen.
test: setup
	cmake --preset native >/dev/null
	cmake --build --preset native
	ctest --preset native
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset windows >/dev/null
	cmake --build --preset windows
	$(WINE_RUN) --session ctest --preset windows

run: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows
	bash scripts/run.sh

bench: setup
	cmake --preset native >/dev/null
	cmake --build --preset native
	build/native/bench/engine_bench
	bash scripts/bench-qx.sh
	cmake --preset windows >/dev/null
	cmake --build --preset windows
	bash scripts/bench-windows.sh

fuzz: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	bash scripts/fuzz.sh 60

dist: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target Quendrix qx
	bash scripts/dist.sh

clean:
	rm -rf build
