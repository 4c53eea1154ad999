#include "tests/effect_builder.h"

EffectParams::EffectParams(DWORD durationUs, std::vector<LONG> axisDirections, std::vector<DWORD> axisIds)
{
    static const DWORD defaultAxes[] = {X_AXIS, Y_AXIS, Z_AXIS, 0x01000302};
    effect.dwSize = sizeof(DIEFFECT);
    effect.dwFlags = DIEFF_OBJECTIDS | DIEFF_CARTESIAN;
    effect.dwDuration = durationUs;
    effect.dwGain = 10000;
    effect.cAxes = static_cast<DWORD>(axisDirections.size());
    for (size_t i = 0; i < axisDirections.size() && i < 4; ++i) {
        axes_[i] = i < axisIds.size() ? axisIds[i] : defaultAxes[i];
        directions_[i] = axisDirections[i];
    }
    effect.rgdwAxes = axes_;
    effect.rglDirection = directions_;
}

EffectParams& EffectParams::withConstant(LONG magnitude)
{
    constant_.lMagnitude = magnitude;
    effect.cbTypeSpecificParams = sizeof(constant_);
    effect.lpvTypeSpecificParams = &constant_;
    return *this;
}

EffectParams& EffectParams::withRamp(LONG start, LONG end)
{
    ramp_ = {start, end};
    effect.cbTypeSpecificParams = sizeof(ramp_);
    effect.lpvTypeSpecificParams = &ramp_;
    return *this;
}

EffectParams& EffectParams::withPeriodic(DWORD magnitude, LONG offset, DWORD periodUs, DWORD phase)
{
    periodic_ = {magnitude, offset, phase, periodUs};
    effect.cbTypeSpecificParams = sizeof(periodic_);
    effect.lpvTypeSpecificParams = &periodic_;
    return *this;
}

EffectParams& EffectParams::withConditions(std::vector<DICONDITION> records)
{
    conditions_ = std::move(records);
    effect.cbTypeSpecificParams = static_cast<DWORD>(conditions_.size() * sizeof(DICONDITION));
    effect.lpvTypeSpecificParams = conditions_.data();
    return *this;
}
