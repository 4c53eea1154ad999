#!/usr/bin/env bash
# Runs the test suites of both builds under Wine as a matrix of passes. A pass is a build, the
# architecture of its prefix and the Windows version the prefix reports:
#
#   win7      64-bit build, 64-bit Windows 7      every suite
#   win10     64-bit build, 64-bit Windows 10     all but the Linux-side (native) ones
#   winxp64   64-bit build, 64-bit Windows XP     the suites labelled windows-version
#   wow64     32-bit build, 64-bit Windows 10     all but the native ones: 32-bit on 64-bit Windows
#   x86xp     32-bit build, 32-bit Windows XP     all but the native ones and those that need the
#                                                 64-bit kernel drivers of the tests
#
# On 64-bit Windows kernel drivers are 64-bit whatever the program's bitness, so the 32-bit build's
# tests get the 64-bit build's stand-in drivers and virtual pad beside them. Each pass gets a fresh
# prefix, one persistent wineserver and the run one virtual display. Every test line is prefixed
# with its pass. PADKIT_PASSES="win10 wow64" (for example) runs only the named passes
# (PADKIT_WINDOWS is the older name). Further arguments go to ctest.
# Usage: run-tests.sh <64-bit build> [<32-bit build>] [ctest arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
build64=$(cd "${1:?64-bit build directory}" && pwd)
shift
build32=
if [ $# -gt 0 ] && [ -f "$1/CMakeCache.txt" ]; then
  build32=$(cd "$1" && pwd)
  shift
fi

declare -A pass_build=([win7]=64 [win10]=64 [winxp64]=64 [wow64]=32 [x86xp]=32)
declare -A pass_arch=([win7]=win64 [win10]=win64 [winxp64]=win64 [wow64]=win64 [x86xp]=win32)
declare -A pass_version=([win7]=win7 [win10]=win10 [winxp64]=winxp64 [wow64]=win10 [x86xp]=winxp)
declare -A pass_args=([win7]="" [win10]="-LE native" [winxp64]="-L windows-version"
                      [wow64]="-LE native" [x86xp]="-LE native|kernel-driver")
default_passes="win7 win10 winxp64"
[ -n "$build32" ] && default_passes="$default_passes wow64 x86xp"
passes=${PADKIT_PASSES:-${PADKIT_WINDOWS:-$default_passes}}

# 32-bit passes: a machine without 32-bit Wine fails here, never passes silently.
needs32=0
for p in $passes; do [ "${pass_build[$p]:-}" = 32 ] && needs32=1; done
if [ $needs32 -eq 1 ]; then
  if [ -z "$build32" ]; then
    echo "run-tests: a 32-bit pass was asked for but no 32-bit build was given" >&2
    exit 2
  fi
  for f in "$build64"/bin/*.sys "$build64"/bin/*.inf; do
    [ -e "$f" ] && cp -p "$f" "$build32/bin/"
  done
fi

wine_start_display
trap wine_stop EXIT
log=$(mktemp)
failed=0 passed=0 broken=0
for pass in $passes; do
  [ -n "${pass_args[$pass]+set}" ] || { echo "unknown pass $pass" >&2; exit 2; }
  build=$build64
  [ "${pass_build[$pass]}" = 32 ] && build=$build32
  echo "== pass $pass: ${pass_build[$pass]}-bit build, ${pass_arch[$pass]} prefix, Windows ${pass_version[$pass]}"
  wine_env_init "$build" "${pass_arch[$pass]}"
  export PADKIT_BUILD_DIR="$WINE_BUILD_DIR" PADKIT_PASS="$pass"
  wine_fresh_prefix
  wine_start_server
  if [ "${pass_build[$pass]}" = 32 ]; then
    wine "$build/bin/standin_game.exe" --exit 7 --wait-ms 0 >/dev/null 2>&1
    if [ $? -ne 7 ]; then
      echo "run-tests: pass $pass: this machine cannot run 32-bit Windows programs (32-bit Wine," \
           "wine32:i386, is missing or broken; tools/bootstrap.sh installs it)" >&2
      broken=1 failed=$((failed + 1))
      wineserver -k >/dev/null 2>&1 || true
      continue
    fi
  fi
  wine_set_windows_version "${pass_version[$pass]}"
  # shellcheck disable=SC2086
  ctest --test-dir "$WINE_BUILD_DIR" --output-on-failure --no-tests=error ${pass_args[$pass]} "$@" |
    sed -u -E "s/^( *[0-9]+\/[0-9]+ Test +#[0-9]+: )/\1$pass\//; s/^([[:space:]]+[0-9]+ - )/\1$pass\//" | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || broken=1
  read -r ok bad <<<"$(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\2 \1/p' "$log" |
    awk '{print $1 - $2, $2}')"
  passed=$((passed + ${ok:-0})) failed=$((failed + ${bad:-0}))
  wineserver -k >/dev/null 2>&1 || true
done
rm -f "$log"
echo "matrix: $passed passed, $failed failed"
[ $broken -eq 0 ] && [ $failed -eq 0 ]
