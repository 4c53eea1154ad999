#!/usr/bin/env bash
# CTest's emulator of both builds: runs one Windows program under the build's own Wine prefix.
# Inside a test session (tools/run-tests.sh) the prefix, server and display are already up;
# run by hand it prepares the prefix and, without a display, a virtual one.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

exe=$1; shift
dir=$(cd "$(dirname "$exe")" && pwd)
exe="$dir/$(basename "$exe")"
build=${PADKIT_BUILD_DIR:-}
if [ -z "$build" ]; then
  build=$dir
  while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
fi
wine_env_init "$build"
wine_ensure_prefix
if [ -z "${DISPLAY:-}" ]; then
  wine_start_display
  trap 'kill $WINE_XVFB_PID 2>/dev/null' EXIT
fi
cd "$dir"
# Wine's helper processes (services, the desktop) may start with this run and outlive it; give them
# a file instead of the caller's pipe, or the caller would wait for that pipe to close.
out=$(mktemp)
wine "$exe" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
