// DeviceID, versions, escapes, gain, device commands and device state.
#include "engine/effect_driver.h"

#include "link/pad_finder.h"
#include "link/pad_settings.h"

namespace {

constexpr DWORD FIRMWARE_REVISION = 1;
constexpr DWORD HARDWARE_REVISION = 2;
constexpr DWORD FF_DRIVER_VERSION = 3;

void loadSettings(DriverState& state)
{
    state.settings = readPadSettings(state.externalId);
}

// The checksum goes into the caller's buffer: it must hold the 20 bytes written and every byte its
// length byte names.
HRESULT sendRawReport(DriverState& state, const DIEFFESCAPE& escape)
{
    BYTE* report = static_cast<BYTE*>(escape.lpvInBuffer);
    if (!report || escape.cbInBuffer < REPORT_LENGTH)
        return S_FALSE;
    const int length = static_cast<signed char>(report[1]);
    if (length > 0 && escape.cbInBuffer < static_cast<DWORD>(length))
        return S_FALSE;
    return writeResult(sendReport(state.hidHandle.get(), report));
}

// Finite effects that still run freeze their remaining time; those already over stop playing.
// Infinite effects are paused by the device alone.
void pauseSlots(SlotList& effects, DWORD t)
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
void resumeSlots(SlotList& effects, DWORD t)
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

} // namespace

// DirectInput names the device it binds in the last parameter (a DIHIDFFINITINFO).
HRESULT EffectDriver::DeviceID(DWORD, DWORD dwExternalId, DWORD begin, DWORD, LPVOID hidData)
{
    LockedState state = lockState();
    if (begin) {
        state->externalId = dwExternalId;
        loadSettings(*state);
        state->hidHandle = environment_.openPad(PAD_PRODUCT, givenInterface(hidData));
        SendForceFeedbackCommand(state->externalId, DISFFC_RESET);
    } else {
        state->hidHandle.reset();
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
    LockedState state = lockState();
    switch (escape->dwCommand) {
    case ESCAPE_RAW_REPORT:
        return sendRawReport(*state, *escape);
    case ESCAPE_RELOAD_SETTINGS:
        loadSettings(*state);
        if (state->autocenterActive == 1)
            sendCommand(*state, CMD_AUTOCENTER, static_cast<BYTE>(state->settings.autocenter));
        sendCommand(*state, CMD_GAIN, stateGain(*state));
        return S_OK;
    default:
        return S_FALSE;
    }
}

HRESULT EffectDriver::SetGain(DWORD, DWORD gain)
{
    LockedState state = lockState();
    state->deviceGain = gain;
    return writeResult(sendCommand(*state, CMD_GAIN, stateGain(*state)));
}

HRESULT EffectDriver::SendForceFeedbackCommand(DWORD, DWORD command)
{
    LockedState state = lockState();
    const DWORD t = environment_.currentTime();
    DWORD& deviceState = state->deviceState;
    switch (command) {
    case DISFFC_RESET:
        state->effects.freeAll();
        deviceState = DIGFFS_EMPTY | DIGFFS_ACTUATORSON;
        state->autocenterActive = 1;
        sendCommand(*state, CMD_RESET, 0);
        sendCommand(*state, CMD_AUTOCENTER, static_cast<BYTE>(state->settings.autocenter));
        return writeResult(sendCommand(*state, CMD_GAIN, stateGain(*state)));
    case DISFFC_STOPALL:
        for (EffectSlot* slot = state->effects.head(); slot; slot = slot->next)
            slot->status &= ~SLOT_PLAYING;
        deviceState |= DIGFFS_STOPPED;
        state->autocenterActive = 0;
        sendCommand(*state, CMD_STOP, 0);
        return writeResult(sendCommand(*state, CMD_AUTOCENTER, 0));
    case DISFFC_PAUSE:
        pauseSlots(state->effects, t);
        deviceState |= DIGFFS_PAUSED;
        return writeResult(sendCommand(*state, CMD_PAUSE, 0));
    case DISFFC_CONTINUE:
        resumeSlots(state->effects, t);
        deviceState &= ~DIGFFS_PAUSED;
        return writeResult(sendCommand(*state, CMD_PAUSE, 1));
    case DISFFC_SETACTUATORSON:
        deviceState = (deviceState & ~DIGFFS_ACTUATORSOFF) | DIGFFS_ACTUATORSON;
        return writeResult(sendCommand(*state, CMD_ACTUATORS, 1));
    case DISFFC_SETACTUATORSOFF:
        deviceState = (deviceState & ~DIGFFS_ACTUATORSON) | DIGFFS_ACTUATORSOFF;
        return writeResult(sendCommand(*state, CMD_ACTUATORS, 0));
    default:
        return S_FALSE;
    }
}

HRESULT EffectDriver::GetForceFeedbackState(DWORD, LPDIDEVICESTATE state)
{
    if (!state)
        return S_FALSE;
    LockedState locked = lockState();
    state->dwState = locked->deviceState;
    state->dwLoad = static_cast<DWORD>(locked->effects.count() * 100 / 255);
    return S_OK;
}
