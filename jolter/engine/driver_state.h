#pragma once
// What one EffectDriver holds, and the only way its operations reach it: a LockedState keeps the
// driver's lock for as long as it lives.
#include <windows.h>

#include "engine/driver_lock.h"
#include "engine/effect_slot.h"
#include "link/device_report.h"
#include "link/handles.h"
#include "link/pad_settings.h"

struct DriverState {
    DWORD externalId = 0;
    DWORD deviceState = 0; // DIGFFS_* bits
    DWORD deviceGain = 10000;
    PadSettings settings;
    LONG autocenterActive = 1;
    UniqueHandle hidHandle;
    BYTE reportBuffer[REPORT_BUFFER_SIZE] = {};
    SlotList effects;
};

class LockedState {
public:
    LockedState(DriverLock& lock, DriverState& state) : hold_(lock), state_(state) {}
    LockedState(const LockedState&) = delete;
    LockedState& operator=(const LockedState&) = delete;

    DriverState* operator->() const { return &state_; }
    DriverState& operator*() const { return state_; }

private:
    LockHolder hold_;
    DriverState& state_;
};

// Builds a command report in the state's buffer and writes it to the pad; returns the bytes written.
DWORD sendCommand(DriverState& state, BYTE code, BYTE value);

// The effect report of `slot` with `count` iterations, built and written the same way.
DWORD sendEffect(DriverState& state, const EffectSlot& slot, DWORD count);

// The gain byte of the state's device gain and FFGAIN.
BYTE stateGain(const DriverState& state);

// What an operation that reports a write hands back: S_FALSE when nothing was written.
HRESULT writeResult(DWORD written);
