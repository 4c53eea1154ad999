// The pad's 20-byte output reports as the wire format lays them out: report id 2, length 20,
// and in byte 19 the two's complement of the sum of bytes 0 to 18.
#pragma once

#include <cstdint>
#include <vector>

using Report = std::vector<unsigned char>;

inline Report sealed(Report bytes)
{
    unsigned sum = 0;
    for (int i = 0; i < 19; ++i)
        sum += bytes[i];
    bytes[19] = static_cast<unsigned char>(0x100 - (sum & 0xFF));
    return bytes;
}

// Command form: byte 2 is 0, byte 3 the command, byte 4 its value.
inline Report commandReport(unsigned char command, unsigned char value)
{
    Report r(20, 0);
    r[0] = 2;
    r[1] = 20;
    r[3] = command;
    r[4] = value;
    return sealed(r);
}

// Effect form, little-endian fields.
inline Report effectReport(unsigned char type, int16_t a, int16_t b, uint16_t durationMs, uint16_t count,
                           int16_t c, int16_t d, unsigned char id)
{
    Report r(20, 0);
    auto put = [&](int at, uint16_t v) {
        r[at] = static_cast<unsigned char>(v & 0xFF);
        r[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    r[0] = 2;
    r[1] = 20;
    r[2] = type;
    put(3, static_cast<uint16_t>(a));
    put(5, static_cast<uint16_t>(b));
    put(10, durationMs);
    put(12, count);
    put(14, static_cast<uint16_t>(c));
    put(16, static_cast<uint16_t>(d));
    r[18] = id;
    return sealed(r);
}

enum : unsigned char { CMD_STOP = 0, CMD_GAIN = 1, CMD_RESET = 2, CMD_AUTOCENTER = 3, CMD_PAUSE = 4 };
