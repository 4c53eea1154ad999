#pragma once
// The per-driver lock. A critical section may be entered again by the thread that holds it, so an
// operation that calls back into the driver's own interface (DIEP_START, DIES_SOLO, DeviceID's
// reset, DestroyEffect's stop) keeps it without deadlocking.
#include <windows.h>

class DriverLock {
public:
    DriverLock() { InitializeCriticalSection(&section_); }
    ~DriverLock() { DeleteCriticalSection(&section_); }
    DriverLock(const DriverLock&) = delete;
    DriverLock& operator=(const DriverLock&) = delete;

    void enter() { EnterCriticalSection(&section_); }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class LockHolder {
public:
    explicit LockHolder(DriverLock& lock) : lock_(lock) { lock_.enter(); }
    ~LockHolder() { lock_.leave(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    DriverLock& lock_;
};
