#include "link/device_report.h"

#include <cstring>

#include "engine/effect_slot.h"

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

void buildEffectReport(BYTE* buffer, const EffectSlot& slot, DWORD count)
{
    startReport(buffer);
    buffer[2] = static_cast<BYTE>(slot.typeId & 0xFF);
    putWord(buffer + 3, static_cast<DWORD>(slot.paramA));
    putWord(buffer + 5, static_cast<DWORD>(slot.paramB));
    buffer[7] = static_cast<BYTE>(slot.reserved1 & 0xFF);
    putWord(buffer + 8, slot.reserved2);
    putWord(buffer + 10, slot.durationMs);
    putWord(buffer + 12, count);
    putWord(buffer + 14, static_cast<DWORD>(slot.paramC));
    putWord(buffer + 16, static_cast<DWORD>(slot.paramD));
    buffer[18] = static_cast<BYTE>(slot.id & 0xFF);
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
