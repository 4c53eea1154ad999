#!/usr/bin/env bash
# Checks the shipped binaries: right PE kind, no MinGW runtime DLL imported, plain COM exports.
set -eu
kind=$1 dir=$2
case $kind in
  win32) triple=i686-w64-mingw32 pe='PE32 ' ;;
  win64) triple=x86_64-w64-mingw32 pe='PE32+' ;;
esac
fail=0
for f in profiler.exe jolter.dll fitkit.exe; do
  [ -f "$dir/$f" ] || { echo "missing $dir/$f"; fail=1; continue; }
  file "$dir/$f" | grep -q "$pe" || { echo "$dir/$f is not $pe"; fail=1; }
  imports=$($triple-objdump -p "$dir/$f" | sed -n 's/^\s*DLL Name: //p')
  if echo "$imports" | grep -qiE 'libwinpthread|libstdc\+\+|libgcc'; then
    echo "$dir/$f imports a MinGW runtime DLL:"; echo "$imports"; fail=1
  fi
done
# Functions that Windows XP lacks must be resolved at run time, never imported.
newer='GetTickCount64|InitializeSRWLock|(Acquire|Release|TryAcquire)SRWLock|InitializeConditionVariable|SleepConditionVariable|WakeConditionVariable|WakeAllConditionVariable|InitOnce|QueryFullProcessImageName|K32[A-Za-z]+|RegDeleteTree|GetFinalPathNameByHandle|CreateSymbolicLink|CompareStringEx|LCMapStringEx|GetLocaleInfoEx|GetSystemTimePreciseAsFileTime|CreateEventEx|CreateMutexEx|InitializeCriticalSectionEx|Fls(Alloc|Free|GetValue|SetValue)|GetErrorMode|RegGetValue|RegSetKeyValue|SHGetKnownFolderPath|TaskDialog'
for f in profiler.exe jolter.dll fitkit.exe; do
  [ -f "$dir/$f" ] || continue
  bad=$($triple-objdump -p "$dir/$f" | awk '/DLL Name:/{dll=1} dll && NF>=3 && $1 ~ /^[0-9a-f]+$/ {print $NF}' | grep -xE "($newer)[AW]?" || true)
  if [ -n "$bad" ]; then echo "$dir/$f imports functions Windows XP lacks: $bad"; fail=1; fi
done
exports=$($triple-objdump -p "$dir/jolter.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
for name in DllGetClassObject DllCanUnloadNow; do
  echo "$exports" | grep -qE "\] $name\$" || { echo "jolter.dll ($kind) does not export $name"; fail=1; }
done
exit $fail
