#include "link/device_report.h"

#include <cstring>

namespace {

void putWord(BYTE* at, DWORD value)
{
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

void startReport(BYTE* buffer)
{
    std::memset(buffer, 0, REPORT_LENGTH);
    buffer[0] = REPORT_ID;
    buffer[1] = REPORT_LENGTH;
}

} // namespace

BYTE gainValue(DWORD deviceGain, LONG ffGain)
{
    return static_cast<BYTE>(deviceGain * static_cast<DWORD>(ffGain) / 10000);
}

void buildCommandReport(BYTE* buffer, BYTE code, BYTE value)
{
    startReport(buffer);
    buffer[2] = 0;
    buffer[3] = code;
    buffer[4] = value;
}

void buildEffectReport(BYTE* buffer, const EffectReportFields& effect, DWORD count, DWORD id)
{
    LONG paramA = 0, paramB = 0, paramC = 0, paramD = 0;
    switch (effect.typeId & CATEGORY_MASK) {
    case CAT_CONSTANT:
        paramA = effect.constant.magnitude;
        break;
    case CAT_RAMP:
        paramA = effect.ramp.start;
        paramB = effect.ramp.end;
        break;
    case CAT_PERIODIC:
        paramA = effect.periodic.magnitude;
        paramB = effect.periodic.offset;
        paramC = effect.periodic.periodMs;
        paramD = effect.periodic.phase;
        break;
    case CAT_CONDITION:
        paramA = effect.condition.saturation;
        paramB = effect.condition.offset;
        paramC = effect.condition.coefficient;
        paramD = effect.condition.deadBand;
        break;
    default:
        break;
    }
    startReport(buffer);
    // The type byte is not the driver's: DirectInput hands over the id the driver package
    // registered for the effect, and the pad's firmware reads its low byte.
    buffer[2] = static_cast<BYTE>(effect.typeId & 0xFF);
    putWord(buffer + 3, static_cast<DWORD>(paramA));
    putWord(buffer + 5, static_cast<DWORD>(paramB));
    buffer[7] = static_cast<BYTE>(effect.reserved1 & 0xFF);
    putWord(buffer + 8, effect.reserved2);
    putWord(buffer + 10, effect.durationMs);
    putWord(buffer + 12, count);
    putWord(buffer + 14, static_cast<DWORD>(paramC));
    putWord(buffer + 16, static_cast<DWORD>(paramD));
    buffer[18] = static_cast<BYTE>(id & 0xFF);
}

DWORD sendReport(HANDLE pad, BYTE* buffer)
{
    const int length = static_cast<signed char>(buffer[1]);
    if (length < 3 || length > 31)
        return 0;
    BYTE sum = 0;
    for (int i = 0; i <= length - 2; ++i)
        sum = static_cast<BYTE>(sum + buffer[i]);
    buffer[length - 1] = static_cast<BYTE>(0u - sum);

    DWORD written = 0;
    if (!pad || !WriteFile(pad, buffer, REPORT_LENGTH, &written, nullptr))
        return 0;
    return written;
}
