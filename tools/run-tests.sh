#!/usr/bin/env bash
# Runs the 64-bit test suites under Wine as a matrix of Windows versions: every suite under Windows 7
# and Windows 10, and the suites labelled windows-version (those that branch on the version) also
# under Windows XP (winxp64). Each version gets a fresh prefix; one persistent wineserver per pass
# and one virtual display for the whole run. PADKIT_WINDOWS="win10" (for example) runs only the
# named passes. Further arguments go to ctest. Fails when any suite fails or cannot start.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
build=${1:?build directory}
shift
wine_env_init "$build"
wine_start_display
trap wine_stop EXIT
export PADKIT_BUILD_DIR="$WINE_BUILD_DIR"

# Tests labelled native run on Linux and need no Windows version: only in the first pass.
declare -A pass_args=([win7]="" [win10]="-LE native" [winxp64]="-L windows-version")
passes=${PADKIT_WINDOWS:-win7 win10 winxp64}
log=$(mktemp)
failed=0 passed=0 broken=0
for version in $passes; do
  [ -n "${pass_args[$version]+set}" ] || { echo "unknown Windows version $version" >&2; exit 2; }
  echo "== Windows version $version"
  wine_fresh_prefix
  wine_start_server
  wine_set_windows_version "$version"
  # shellcheck disable=SC2086
  ctest --test-dir "$WINE_BUILD_DIR" --output-on-failure --no-tests=error ${pass_args[$version]} "$@" |
    tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || broken=1
  read -r ok bad <<<"$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\2 \1/p' "$log" |
    awk '{print $1 - $2, $2}')"
  passed=$((passed + ${ok:-0})) failed=$((failed + ${bad:-0}))
  wineserver -k >/dev/null 2>&1 || true
done
rm -f "$log"
echo "matrix: $passed passed, $failed failed"
[ $broken -eq 0 ] && [ $failed -eq 0 ]
