#!/usr/bin/env bash
# Runs the benchmark programs under Wine, one after another: the 64-bit build's in its prefix and,
# when a 32-bit build is given, its effect benchmark as a 32-bit program on 64-bit Windows (the
# 32-bit build's own 64-bit prefix), so both effect drivers are measured in one run. Each build has
# one session (prefix, wineserver, display). Their figures go to standard output.
# Usage: run-benchmarks.sh <64-bit build> [<32-bit build>]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
build64=${1:?64-bit build directory}
build32=${2:-}
wine_start_display
trap wine_stop EXIT
session() {   # $1 = build directory: its prefix (64-bit Windows) and server
  wineserver -k >/dev/null 2>&1 || true
  wine_env_init "$1" win64
  wine_ensure_prefix
  wine_start_server
  export PADKIT_BUILD_DIR="$WINE_BUILD_DIR"
  bin="$WINE_BUILD_DIR/bin"
}
run() { echo "== $(basename "$WINE_BUILD_DIR"): $*"; "$here/wine-run.sh" "$bin/$@"; }
session "$build64"
run watch_bench.exe 300 60
run startup_bench.exe 7 5000
run effect_bench.exe
run fitkit_find_model_bench.exe 21
if [ -n "$build32" ]; then
  session "$build32"
  run effect_bench.exe
fi
