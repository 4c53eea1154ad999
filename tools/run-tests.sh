#!/usr/bin/env bash
# Runs every 64-bit test suite under Wine: one fresh prefix, one persistent wineserver and one
# virtual display for the whole run. Fails when any suite fails or cannot start.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
build=${1:?build directory}
shift
wine_env_init "$build"
wine_fresh_prefix
wine_start_display
wine_start_server
trap wine_stop EXIT
export PADKIT_BUILD_DIR="$WINE_BUILD_DIR"
ctest --test-dir "$WINE_BUILD_DIR" --output-on-failure --no-tests=error "$@"
