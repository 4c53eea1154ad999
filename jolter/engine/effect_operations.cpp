// Effect download and playback.
#include "engine/effect_driver.h"

#include "engine/effect_params.h"

HRESULT EffectDriver::DownloadEffect(DWORD id, DWORD effectType, LPDWORD effect, LPCDIEFFECT params,
                                     DWORD flags)
{
    if (!effect)
        return S_FALSE;
    LockedState state = lockState();
    const DWORD t = environment_.currentTime();

    EffectSlot* slot = nullptr;
    EffectSlot converted;
    if (*effect != 0) {
        slot = state->effects.findSlot(*effect);
        if (!slot) {
            *effect = 0;
            return S_FALSE;
        }
        converted = *slot;
    }
    // Everything is converted (and a malformed structure refused) before any slot changes.
    converted.typeId = effectType;
    if (!convertEffectParams(converted, params)) {
        if (!slot)
            *effect = 0;
        return S_FALSE;
    }

    if (slot) {
        expireIfDone(*slot, t);
        // An effect that still plays is sent again with its new parameters.
        if (slot->status & SLOT_PLAYING)
            flags |= DIEP_START;
        converted.status = slot->status;
        converted.next = slot->next;
        *slot = converted;
    } else {
        const HRESULT added = state->effects.addSlot(converted, &slot);
        if (added != S_OK) {
            *effect = 0;
            return added == E_OUTOFMEMORY ? DIERR_OUTOFMEMORY : S_FALSE;
        }
        *effect = slot->id;
    }

    if (flags & DIEP_START)
        StartEffect(id, slot->id, 0, 1);
    return S_OK;
}

HRESULT EffectDriver::DestroyEffect(DWORD id, DWORD effect)
{
    LockedState state = lockState();
    StopEffect(id, effect);
    state->effects.removeSlot(effect);
    return S_OK;
}

HRESULT EffectDriver::StartEffect(DWORD id, DWORD effect, DWORD mode, DWORD count)
{
    LockedState state = lockState();
    const DWORD t = environment_.currentTime();
    EffectSlot* slot = state->effects.findSlot(effect);
    if (!slot)
        return S_FALSE;
    // Stop-all keeps every slot, so `slot` stays valid.
    if (mode & DIES_SOLO)
        SendForceFeedbackCommand(id, DISFFC_STOPALL);
    expireIfDone(*slot, t);

    const bool sendable = slot->scale != 0 && state->settings.ffEnabled != 0;
    if (!(slot->status & SLOT_PLAYING)) {
        // A fresh start: bits left from an earlier run no longer apply.
        slot->status = (slot->status & ~(SLOT_HELD | SLOT_PAUSED)) | SLOT_PLAYING;
        slot->startTime = environment_.currentTime();
        if (!sendable) {
            slot->status |= SLOT_HELD;
            return S_OK;
        }
    } else if (slot->status & SLOT_HELD) {
        if (!sendable)
            return S_OK;
        slot->status &= ~SLOT_HELD;
    }
    return writeResult(sendEffect(*state, *slot, count));
}

HRESULT EffectDriver::StopEffect(DWORD, DWORD effect)
{
    LockedState state = lockState();
    const DWORD t = environment_.currentTime();
    EffectSlot* slot = state->effects.findSlot(effect);
    if (!slot)
        return S_FALSE;
    expireIfDone(*slot, t);
    const DWORD was = slot->status;
    slot->status &= ~(SLOT_PLAYING | SLOT_HELD | SLOT_PAUSED);
    if ((was & SLOT_HELD) || !(was & SLOT_PLAYING))
        return S_OK;
    return writeResult(sendCommand(*state, CMD_STOP, static_cast<BYTE>(effect & 0xFF)));
}

// The status word goes out whole: SLOT_PLAYING is DIEGES_PLAYING, SLOT_HELD lands on
// DIEGES_EMULATED and SLOT_PAUSED on bit 2.
HRESULT EffectDriver::GetEffectStatus(DWORD, DWORD effect, LPDWORD status)
{
    if (!status)
        return S_FALSE;
    LockedState state = lockState();
    EffectSlot* slot = state->effects.findSlot(effect);
    if (!slot)
        return S_FALSE;
    expireIfDone(*slot, environment_.currentTime());
    *status = slot->status;
    return S_OK;
}
