#!/usr/bin/env bash
# tools/check-binaries.sh against altered copies of the built binaries: each case names the change
# and a text the check must print, or "pass" when it must pass.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
kind=$1 bin=$2 version=$3
triple=$([ "$kind" = win64 ] && echo x86_64-w64-mingw32 || echo i686-w64-mingw32)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

layout() {   # a fresh copy of the three binaries
  rm -rf "$work/dir" && mkdir "$work/dir"
  cp "$bin/profiler.exe" "$bin/jolter.dll" "$bin/fitkit.exe" "$work/dir/"
}
no_resources() { $triple-objcopy --remove-section .rsrc "$work/dir/$1"; }
swap() { cp "$work/dir/$1" "$work/dir/$2"; }

failed=0
check() {   # expected-text version change...
  local expected=$1 want=$2
  shift 2
  layout
  "$@"
  out=$(bash "$root/tools/check-binaries.sh" "$kind" "$work/dir" "$want" 2>&1)
  rc=$?
  if [ "$expected" = pass ]; then
    [ $rc -eq 0 ] || { echo "FAIL [$*]: check failed: $out"; failed=1; }
  elif [ $rc -eq 0 ] || ! grep -qF "$expected" <<<"$out"; then
    echo "FAIL [$*]: expected a failure naming '$expected', got rc $rc: $out"; failed=1
  fi
}

check pass "$version" true
check "jolter.dll: no version resource" "$version" no_resources jolter.dll
check "profiler.exe: no version resource" "$version" no_resources profiler.exe
check "FileVersion is '$version', not '9.9.9'" 9.9.9 true
check "fitkit.exe: OriginalFilename is 'profiler.exe'" "$version" swap profiler.exe fitkit.exe
[ $failed -eq 0 ] && echo "check-binaries: every case as expected"
exit $failed
