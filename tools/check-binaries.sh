#!/usr/bin/env bash
# Checks the shipped binaries: right PE kind, no MinGW runtime DLL imported, plain COM exports, and
# a version resource with the project's version (the third argument, else CMakeLists.txt's). A
# fourth argument names the binaries of the folder to check (all three by default).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
kind=$1 dir=$2
version=${3:-$(sed -n 's/^project([^)]* VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")}
case $kind in
  win32) triple=i686-w64-mingw32 pe='PE32 ' ;;
  win64) triple=x86_64-w64-mingw32 pe='PE32+' ;;
esac
binaries=${4:-profiler.exe jolter.dll fitkit.exe}
fail=0
for f in $binaries; do
  [ -f "$dir/$f" ] || { echo "missing $dir/$f"; fail=1; continue; }
  file "$dir/$f" | grep -q "$pe" || { echo "$dir/$f is not $pe"; fail=1; }
  imports=$($triple-objdump -p "$dir/$f" | sed -n 's/^\s*DLL Name: //p')
  if echo "$imports" | grep -qiE 'libwinpthread|libstdc\+\+|libgcc'; then
    echo "$dir/$f imports a MinGW runtime DLL:"; echo "$imports"; fail=1
  fi
done
# Functions that Windows XP lacks must be resolved at run time, never imported.
newer='GetTickCount64|InitializeSRWLock|(Acquire|Release|TryAcquire)SRWLock|InitializeConditionVariable|SleepConditionVariable|WakeConditionVariable|WakeAllConditionVariable|InitOnce|QueryFullProcessImageName|K32[A-Za-z]+|RegDeleteTree|GetFinalPathNameByHandle|CreateSymbolicLink|CompareStringEx|LCMapStringEx|GetLocaleInfoEx|GetSystemTimePreciseAsFileTime|CreateEventEx|CreateMutexEx|InitializeCriticalSectionEx|Fls(Alloc|Free|GetValue|SetValue)|GetErrorMode|RegGetValue|RegSetKeyValue|SHGetKnownFolderPath|TaskDialog|GetDpiFor(Window|System)|GetSystemMetricsForDpi'
for f in $binaries; do
  [ -f "$dir/$f" ] || continue
  bad=$($triple-objdump -p "$dir/$f" | awk '/DLL Name:/{dll=1} dll && NF>=3 && $1 ~ /^[0-9a-f]+$/ {print $NF}' | grep -xE "($newer)[AW]?" || true)
  if [ -n "$bad" ]; then echo "$dir/$f imports functions Windows XP lacks: $bad"; fail=1; fi
done
# The version resource: both fixed versions, the texts, and the file's own name.
declare -A want=([FILEVERSION]=$version.0 [PRODUCTVERSION]=$version.0 [FileVersion]=$version
                 [ProductVersion]=$version [ProductName]=Padwise)
for f in $binaries; do
  [ -f "$dir/$f" ] || continue
  info=$(python3 "$here/pe_version.py" "$dir/$f") || { fail=1; continue; }
  want[OriginalFilename]=$f
  for name in "${!want[@]}"; do
    got=$(sed -n "s/^$name=//p" <<<"$info")
    [ "$got" = "${want[$name]}" ] || { echo "$dir/$f: $name is '$got', not '${want[$name]}'"; fail=1; }
  done
  for name in FileDescription LegalCopyright; do
    grep -q "^$name=." <<<"$info" || { echo "$dir/$f: no $name in its version resource"; fail=1; }
  done
done
[[ " $binaries " == *" jolter.dll "* ]] || exit $fail
exports=$($triple-objdump -p "$dir/jolter.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
for name in DllGetClassObject DllCanUnloadNow; do
  echo "$exports" | grep -qE "\] $name\$" || { echo "jolter.dll ($kind) does not export $name"; fail=1; }
done
exit $fail
