#pragma once
// The effect type ids the tests download. DirectInput hands the driver each effect's dwEffectType,
// the id the pad's driver package registered for it; the driver converts by its category bits
// (5 to 7) and sends its low byte to the pad as byte 2 of the effect report. One id per category,
// each with a low byte of its own.
#include <cstdint>

constexpr uint32_t TYPE_CONSTANT = 0x21;
constexpr uint32_t TYPE_RAMP = 0x42;
constexpr uint32_t TYPE_SINE = 0x63;
constexpr uint32_t TYPE_SPRING = 0x84;
constexpr uint32_t TYPE_OTHER = 0xA5; // a category the driver has no parameters for
