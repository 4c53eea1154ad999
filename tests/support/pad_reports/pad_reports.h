#pragma once
// The pad's 20-byte output reports as the wire format lays them out: report id 2, length 20,
// little-endian fields, and in byte 19 the two's complement of the sum of bytes 0 to 18.
#include <cstddef>
#include <cstdint>
#include <vector>

using Report = std::vector<unsigned char>;

constexpr size_t REPORT_SIZE = 20;

// Command codes (byte 3 of the command form).
enum class PadCommand : unsigned char {
    STOP = 0,
    GAIN = 1,
    RESET = 2,
    AUTOCENTER = 3,
    PAUSE = 4,
    ACTUATORS = 5
};

// Command form: byte 2 is 0, byte 3 the command, byte 4 its value.
Report commandReport(PadCommand command, unsigned char value);

// Effect form: the type's low byte, parameters A and B, the duration in milliseconds, the iteration
// count, parameters C and D and the effect id.
Report effectReport(unsigned char type, int16_t a, int16_t b, uint16_t durationMs, uint16_t count, int16_t c,
                    int16_t d, unsigned char id);

// Whether all bytes of the report add up to 0 modulo 256.
bool sumsToZero(const Report& report);
