#pragma once
// DIEFFECT structures as a game would pass them, over arrays the builder owns.
#include <windows.h>

#include <vector>

#include "link/direct_input.h"
#include "pad_reports/effect_types.h"

// Force-feedback actuator axes as DirectInput object ids.
constexpr DWORD X_AXIS = 0x01000002;
constexpr DWORD Y_AXIS = 0x01000102;
constexpr DWORD Z_AXIS = 0x01000202;

class EffectParams {
public:
    // Axes X, Y, Z, ... (or `axisIds`) with the given directions; duration in microseconds.
    EffectParams(DWORD durationUs, std::vector<LONG> axisDirections, std::vector<DWORD> axisIds = {});
    EffectParams(const EffectParams&) = delete; // the structure points into the object itself
    EffectParams& operator=(const EffectParams&) = delete;

    EffectParams& withConstant(LONG magnitude);
    EffectParams& withRamp(LONG start, LONG end);
    EffectParams& withPeriodic(DWORD magnitude, LONG offset, DWORD periodUs, DWORD phase);
    EffectParams& withConditions(std::vector<DICONDITION> records);
    const DIEFFECT* get() const { return &effect; }

    DIEFFECT effect = {};

private:
    DWORD axes_[4] = {};
    LONG directions_[4] = {};
    DICONSTANTFORCE constant_ = {};
    DIRAMPFORCE ramp_ = {};
    DIPERIODIC periodic_ = {};
    std::vector<DICONDITION> conditions_;
};
