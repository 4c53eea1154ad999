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

void buildEffectReport(BYTE* buffer, const EffectReportFields& effect)
{
    startReport(buffer);
    buffer[2] = static_cast<BYTE>(effect.typeId & 0xFF);
    putWord(buffer + 3, static_cast<DWORD>(effect.paramA));
    putWord(buffer + 5, static_cast<DWORD>(effect.paramB));
    buffer[7] = static_cast<BYTE>(effect.reserved1 & 0xFF);
    putWord(buffer + 8, effect.reserved2);
    putWord(buffer + 10, effect.durationMs);
    putWord(buffer + 12, effect.count);
    putWord(buffer + 14, static_cast<DWORD>(effect.paramC));
    putWord(buffer + 16, static_cast<DWORD>(effect.paramD));
    buffer[18] = static_cast<BYTE>(effect.id & 0xFF);
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
