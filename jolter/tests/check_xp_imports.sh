#!/usr/bin/env bash
# jolter.dll must load on Windows XP: it may import no function that XP lacks. The list holds what
# the MinGW runtime pulls in when C++ exceptions or its threads library come along.
set -eu
dll=$1 objdump=$2
newer='GetTickCount64|InitializeSRWLock|AcquireSRWLock|ReleaseSRWLock|InitializeConditionVariable|SleepConditionVariable|WakeConditionVariable|WakeAllConditionVariable|InitOnceExecuteOnce|InitializeCriticalSectionEx|CreateEventEx|CreateMutexEx|CreateSemaphoreEx|FlsAlloc|FlsGetValue|FlsSetValue|FlsFree|GetCurrentProcessorNumber|QueryFullProcessImageName|GetFinalPathNameByHandle'
imports=$("$objdump" -p "$dll" | sed -n '/Import Tables/,/Export Tables/p')
if echo "$imports" | grep -qE "\b($newer)\b"; then
  echo "$dll imports functions Windows XP lacks:"
  echo "$imports" | grep -oE "\b($newer)\w*" | sort -u
  exit 1
fi
echo "$dll: no import newer than Windows XP"
