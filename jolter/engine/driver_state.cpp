#include "engine/driver_state.h"

DWORD sendCommand(DriverState& state, BYTE code, BYTE value)
{
    buildCommandReport(state.reportBuffer, code, value);
    return sendReport(state.hidHandle.get(), state.reportBuffer);
}

DWORD sendEffect(DriverState& state, const EffectSlot& slot, DWORD count)
{
    const EffectReportFields fields = {slot.typeId,    slot.paramA,     slot.paramB, slot.reserved1,
                                       slot.reserved2, slot.durationMs, count,       slot.paramC,
                                       slot.paramD,    slot.id};
    buildEffectReport(state.reportBuffer, fields);
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
