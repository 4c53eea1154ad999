# Entry points: `make` builds both targets into dist/, `make dist` adds the release zips and
# installers, `make test` runs every suite under Wine, `make run` starts profiler.exe under Wine
# beside a demo settings file, `make bench` runs the benchmark programs.
# SETTINGS_FILE=<ini> names the file whose SETTINGS section the packages carry (kept in the build
# trees' caches; the default is the demo's, tools/demo/profiler.INI).
# make dist SIGN_PFX=<pfx> SIGN_PASS_FILE=<file with the password> [SIGN_TIMESTAMP_URL=<url>] signs
# the programs, the uninstallers and the installers; without SIGN_PFX they are built unsigned.
# RELEASE_URL=<url> is where the winget manifest says the installers are downloaded from.
BUILDS := win32 win64
VERSION := $(shell sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
RELEASE_URL ?= https://downloads.example.com/padwise/$(VERSION)
SIGN_DEFS = -DPADWISE_SIGN_PFX=$(if $(SIGN_PFX),$(abspath $(SIGN_PFX))) \
  -DPADWISE_SIGN_PASS_FILE=$(if $(SIGN_PASS_FILE),$(abspath $(SIGN_PASS_FILE))) \
  -DPADWISE_SIGN_TIMESTAMP_URL=$(SIGN_TIMESTAMP_URL)

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
	@$(if $(SIGN_PFX),$(if $(SIGN_PASS_FILE),,$(error SIGN_PFX needs SIGN_PASS_FILE)))
	@rm -rf dist/padwise-* dist/winget dist/SHA256SUMS
	@for b in $(BUILDS); do cmake build/$$b $(SIGN_DEFS) >/dev/null && cmake --build --preset $$b --target dist && cp build/$$b/package/padwise-* dist/ || exit 1; done
	@bash tools/check-packages.sh $(if $(SIGN_PFX),--signed $(if $(SIGN_CA),--ca $(SIGN_CA))) dist
	@python3 tools/release-files.py dist --version $(VERSION) --release-url $(RELEASE_URL)
	@echo "dist: $(if $(SIGN_PFX),signed with $(SIGN_PFX),built UNSIGNED files (no SIGN_PFX given))"

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
