#!/usr/bin/env bash
# Runs the benchmark programs of the 64-bit build under Wine, one after another, in one
# session (prefix, wineserver, display). Their figures go to standard output.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
build=${1:?build directory}
wine_env_init "$build"
wine_ensure_prefix
wine_start_display
wine_start_server
trap wine_stop EXIT
export PADKIT_BUILD_DIR="$WINE_BUILD_DIR"
bin="$WINE_BUILD_DIR/bin"
run() { echo "== $*"; "$here/wine-run.sh" "$bin/$@"; }
run watch_bench.exe 300 60
run startup_bench.exe 7 5000
run effect_bench.exe
run fitkit_find_model_bench.exe 21
