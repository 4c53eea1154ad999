// DeviceID, versions, escapes, gain, device commands and device state.
#include "engine/effect_driver.h"

#include "link/pad_finder.h"

namespace {

constexpr DWORD FIRMWARE_REVISION = 1;
constexpr DWORD HARDWARE_REVISION = 2;
constexpr DWORD FF_DRIVER_VERSION = 3;

HRESULT writeResult(DWORD written)
{
    return written > 0 ? S_OK : S_FALSE;
}

} // namespace

HRESULT EffectDriver::DeviceID(DWORD, DWORD dwExternalId, DWORD begin, DWORD, LPVOID)
{
    LockHolder hold(lock_);
    if (begin) {
        externalId = dwExternalId;
        LoadSettings();
        hidHandle.reset(environment_.openPad(PAD_PRODUCT));
        SendForceFeedbackCommand(externalId, DISFFC_RESET);
    } else {
        hidHandle.reset();
    }
    return S_OK;
}

HRESULT EffectDriver::GetVersions(LPDIDRIVERVERSIONS versions)
{
    if (!versions)
        return S_FALSE;
    versions->dwFirmwareRevision = FIRMWARE_REVISION;
    versions->dwHardwareRevision = HARDWARE_REVISION;
    versions->dwFFDriverVersion = FF_DRIVER_VERSION;
    return S_OK;
}

HRESULT EffectDriver::Escape(DWORD, DWORD effect, LPDIEFFESCAPE escape)
{
    if (effect != 0)
        return S_OK;
    if (!escape)
        return S_FALSE;
    LockHolder hold(lock_);
    switch (escape->dwCommand) {
    case ESCAPE_RAW_REPORT: {
        // The checksum goes into the caller's buffer: it must hold the 20 bytes written and every
        // byte its length byte names.
        BYTE* report = static_cast<BYTE*>(escape->lpvInBuffer);
        if (!report || escape->cbInBuffer < REPORT_LENGTH)
            return S_FALSE;
        const int length = static_cast<signed char>(report[1]);
        if (length > 0 && escape->cbInBuffer < static_cast<DWORD>(length))
            return S_FALSE;
        return writeResult(sendReport(hidHandle.get(), report));
    }
    case ESCAPE_RELOAD_SETTINGS:
        LoadSettings();
        if (autocenterActive == 1)
            sendCommand(CMD_AUTOCENTER, static_cast<BYTE>(autocenter));
        sendCommand(CMD_GAIN, gainValue(deviceGain, ffGain));
        return S_OK;
    default:
        return S_FALSE;
    }
}

HRESULT EffectDriver::SetGain(DWORD, DWORD gain)
{
    LockHolder hold(lock_);
    deviceGain = gain;
    return writeResult(sendCommand(CMD_GAIN, gainValue(deviceGain, ffGain)));
}

HRESULT EffectDriver::SendForceFeedbackCommand(DWORD, DWORD command)
{
    LockHolder hold(lock_);
    const DWORD t = environment_.currentTime();
    switch (command) {
    case DISFFC_RESET:
        effects.FreeAll();
        deviceState = DIGFFS_EMPTY | DIGFFS_ACTUATORSON;
        autocenterActive = 1;
        sendCommand(CMD_RESET, 0);
        sendCommand(CMD_AUTOCENTER, static_cast<BYTE>(autocenter));
        return writeResult(sendCommand(CMD_GAIN, gainValue(deviceGain, ffGain)));
    case DISFFC_STOPALL:
        for (EffectSlot* slot = effects.head(); slot; slot = slot->next)
            slot->status &= ~SLOT_PLAYING;
        deviceState |= DIGFFS_STOPPED;
        autocenterActive = 0;
        sendCommand(CMD_STOP, 0);
        return writeResult(sendCommand(CMD_AUTOCENTER, 0));
    case DISFFC_PAUSE:
        pauseSlots(t);
        deviceState |= DIGFFS_PAUSED;
        return writeResult(sendCommand(CMD_PAUSE, 0));
    case DISFFC_CONTINUE:
        resumeSlots(t);
        deviceState &= ~DIGFFS_PAUSED;
        return writeResult(sendCommand(CMD_PAUSE, 1));
    case DISFFC_SETACTUATORSON:
        deviceState = (deviceState & ~DIGFFS_ACTUATORSOFF) | DIGFFS_ACTUATORSON;
        return writeResult(sendCommand(CMD_ACTUATORS, 1));
    case DISFFC_SETACTUATORSOFF:
        deviceState = (deviceState & ~DIGFFS_ACTUATORSON) | DIGFFS_ACTUATORSOFF;
        return writeResult(sendCommand(CMD_ACTUATORS, 0));
    default:
        return S_FALSE;
    }
}

// Finite effects that still run freeze their remaining time; those already over stop playing.
// Infinite effects are paused by the device alone.
void EffectDriver::pauseSlots(DWORD t)
{
    for (EffectSlot* slot = effects.head(); slot; slot = slot->next) {
        if (slot->durationMs == INFINITE_DURATION_MS || !(slot->status & SLOT_PLAYING) ||
            (slot->status & SLOT_PAUSED))
            continue;
        if (!hasRunOut(*slot, t)) {
            slot->pauseTime = t;
            slot->status |= SLOT_PAUSED;
        } else {
            slot->status &= ~SLOT_PLAYING;
        }
    }
}

// The paused interval does not count towards the duration.
void EffectDriver::resumeSlots(DWORD t)
{
    for (EffectSlot* slot = effects.head(); slot; slot = slot->next) {
        if ((slot->status & (SLOT_PLAYING | SLOT_PAUSED)) != (SLOT_PLAYING | SLOT_PAUSED))
            continue;
        slot->status &= ~SLOT_PAUSED;
        slot->startTime += t - slot->pauseTime;
        if (slot->durationMs != INFINITE_DURATION_MS && hasRunOut(*slot, t))
            slot->status &= ~SLOT_PLAYING;
    }
}

HRESULT EffectDriver::GetForceFeedbackState(DWORD, LPDIDEVICESTATE state)
{
    if (!state)
        return S_FALSE;
    LockHolder hold(lock_);
    state->dwState = deviceState;
    state->dwLoad = static_cast<DWORD>(effects.count() * 100 / 255);
    return S_OK;
}
