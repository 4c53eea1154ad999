#include "engine/driver_state.h"

DWORD sendCommand(DriverState& state, BYTE code, BYTE value)
{
    buildCommandReport(state.reportBuffer, code, value);
    return sendReport(state.hidHandle.get(), state.reportBuffer);
}

DWORD sendEffect(DriverState& state, const EffectSlot& slot, DWORD count)
{
    buildEffectReport(state.reportBuffer, slot, count, slot.id);
    return sendReport(state.hidHandle.get(), state.reportBuffer);
}

BYTE stateGain(const DriverState& state)
{
    return gainValue(state.deviceGain, state.settings.ffGain);
}

HRESULT writeResult(DWORD written)
{
    return written > 0 ? S_OK : S_FALSE;
}
