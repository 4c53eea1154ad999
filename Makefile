# Entry points: `make` builds both targets into dist/, `make test` runs every suite under Wine,
# `make run` starts profiler.exe under Wine beside a demo settings file, `make bench` runs the
# benchmark programs.
BUILDS := win32 win64

.PHONY: all bootstrap build test run screenshots bench clean $(BUILDS)

all: build

bootstrap:
	@bash tools/bootstrap.sh

build: bootstrap $(BUILDS)

$(BUILDS):
	@test -f build/$@/CMakeCache.txt || cmake --preset $@ >/dev/null
	cmake --build --preset $@
	@rm -rf dist/$@ && cmake --install build/$@ --prefix dist/$@ >/dev/null
	@bash tools/check-binaries.sh $@ dist/$@

test: build
	bash tools/run-tests.sh build/win64

run: build
	bash tools/run-demo.sh

screenshots: build
	bash tools/screenshots.sh

bench: build
	bash tools/run-benchmarks.sh build/win64

clean:
	rm -rf build dist
