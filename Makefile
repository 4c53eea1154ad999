# Entry points: `make` builds both targets into dist/, `make dist` adds the release zips and
# installers, `make test` runs every suite under Wine, `make run` starts profiler.exe under Wine
# beside a demo settings file, `make bench` runs the benchmark programs.
# SETTINGS_FILE=<ini> names the file whose SETTINGS section the packages carry (kept in the build
# trees' caches; the default is the demo's, tools/demo/profiler.INI).
BUILDS := win32 win64

.PHONY: all bootstrap build dist test run screenshots bench clean $(BUILDS)

all: build

bootstrap:
	@bash tools/bootstrap.sh

build: bootstrap $(BUILDS)

$(BUILDS):
	@test -f build/$@/CMakeCache.txt || cmake --preset $@ >/dev/null
	@$(if $(SETTINGS_FILE),cmake build/$@ -DPADWISE_SETTINGS_FILE=$(abspath $(SETTINGS_FILE)) >/dev/null)
	cmake --build --preset $@
	@rm -rf dist/$@ && cmake --install build/$@ --prefix dist/$@ >/dev/null
	@bash tools/check-binaries.sh $@ dist/$@

dist: build
	@rm -f dist/padwise-*
	@for b in $(BUILDS); do cmake --build --preset $$b --target dist && cp build/$$b/package/padwise-* dist/ || exit 1; done
	@bash tools/check-packages.sh dist

test: dist
	bash tools/run-tests.sh build/win64 build/win32

run: build
	bash tools/run-demo.sh

screenshots: build
	bash tools/screenshots.sh

bench: build
	bash tools/run-benchmarks.sh build/win64 build/win32

clean:
	rm -rf build dist
