# Front door: thin targets over the CMake presets.
.PHONY: all setup build test run run-native web run-web bench soak fuzz dist deb install install-wine uninstall clean

WINE_RUN := scripts/wine-run.sh --prefix build/windows/wineprefix
# Builds anyone can repeat bit for bit: the time the executables and packages record is the last
# commit's unless SOURCE_DATE_EPOCH says otherwise.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif
# Where `make install` puts Quendrix for a Linux desktop; DESTDIR stages it elsewhere.
PREFIX ?= $(HOME)/.local
DESTDIR ?=
INSTALL := bash scripts/install.sh --prefix "$(PREFIX)" --destdir "$(DESTDIR)"

all: build

setup:
	@bash scripts/setup.sh

build: setup
	cmake --preset native >/dev/null
	cmake --build --preset native
	cmake --preset windows >/dev/null
	cmake --build --preset windows

# Every preset: build, then its tests. The Windows tests run under Wine on one private screen,
# never on the user's display, where a window manager would take their windows.
test: setup
	cmake --preset native >/dev/null
	cmake --build --preset native
	cmake --preset web >/dev/null
	cmake --build --preset web
	ctest --preset native
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset windows >/dev/null
	cmake --build --preset windows
	env -u DISPLAY $(WINE_RUN) --session ctest --preset windows

run: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows
	bash scripts/run.sh

# The native window on the Linux desktop, from the build tree (Wayland or X11, as the session is).
run-native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native --target quendrix
	build/native/qt/quendrix

# The page: build/web, the engine as WebAssembly beside one static page.
web: setup
	cmake --preset web >/dev/null
	cmake --build --preset web

run-web: web
	bash scripts/run-web.sh

bench: setup
	cmake --preset native >/dev/null
	cmake --build --preset native
	build/native/bench/engine_bench
	bash scripts/bench-qx.sh
	bash scripts/bench-native.sh
	cmake --preset windows >/dev/null
	cmake --build --preset windows
	bash scripts/bench-windows.sh
	cmake --preset web >/dev/null
	cmake --build --preset web
	node bench/web_bench.js build/web
	node bench/lighthouse.js build/web

# The program under Wine through SOAK_ACTIONS of a user's actions, on a private screen: memory
# and GDI and USER objects after the warm-up and at the end (figures in docs/performance.md).
SOAK_ACTIONS ?= 20000
soak: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target quendrix_soak e2e_probe e2e_patch
	env -u DISPLAY -u WINEPREFIX python3 tests/e2e/soak.py --actions $(SOAK_ACTIONS) \
	  --program build/windows/tests/quendrix_soak.exe --probe build/windows/tests/e2e_probe.exe \
	  --patch build/windows/tests/e2e_patch.exe --prefix build/windows/wineprefix --out build/windows/soak

fuzz: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	bash scripts/fuzz.sh 60

dist: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target Quendrix qx
	bash scripts/dist.sh
	cmake --preset web >/dev/null
	cmake --build --preset web
	bash scripts/dist-web.sh

# The Debian packages in build/dist: quendrix_<version>_amd64.deb, what make install puts under
# /usr, and quendrix-wine_<version>_amd64.deb, what make install-wine puts there.
deb: setup
	cmake --preset native >/dev/null
	cmake --build --preset native --target quendrix qx
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target Quendrix
	bash scripts/deb.sh

# The native window and qx; install-wine adds the Windows program under Wine beside them.
install: setup
	cmake --preset native >/dev/null
	cmake --build --preset native --target quendrix qx
	$(INSTALL) install

install-wine: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target Quendrix
	$(INSTALL) --wine install

uninstall:
	$(INSTALL) uninstall

clean:
	rm -rf build
