#include "engine/effect_params.h"

#include <algorithm>

namespace {

static_assert(sizeof(DICONDITION) == 24, "DICONDITION record size");

// Signed 32-bit product, wrapping on overflow, divided by 10000 with truncation toward zero.
LONG scaled(LONG value, LONG scale)
{
    const LONG product = static_cast<LONG>(static_cast<DWORD>(value) * static_cast<DWORD>(scale));
    return product / 10000;
}

DWORD msFromUs(DWORD microseconds)
{
    return (microseconds + 500) / 1000;
}

DWORD magnitude(LONG value)
{
    return value < 0 ? 0u - static_cast<DWORD>(value) : static_cast<DWORD>(value);
}

bool findAxis(const DIEFFECT& effect, DWORD axis, DWORD* index)
{
    for (DWORD i = 0; i < effect.cAxes; ++i) {
        if (effect.rgdwAxes[i] == axis) {
            *index = i;
            return true;
        }
    }
    return false;
}

// The type-specific block when it holds at least `size` bytes, else null.
const void* typeBlock(const DIEFFECT& effect, size_t size)
{
    if (!effect.lpvTypeSpecificParams || effect.cbTypeSpecificParams < size)
        return nullptr;
    return effect.lpvTypeSpecificParams;
}

// Folds the Y axis's direction into the scale of a short periodic effect.
void addYShare(EffectSlot& out, const DIEFFECT& effect)
{
    DWORD j = 0;
    if (!findAxis(effect, Y_AXIS_ID, &j))
        return;
    const LONG y = effect.rglDirection[j];
    if (out.scale == 0) {
        out.scale = effect.cAxes >= 2 ? y : 10000;
    } else if (out.scale > 0) {
        out.scale = static_cast<LONG>(std::min<LONGLONG>(LONGLONG(out.scale) + magnitude(y), 10000));
    } else {
        out.scale = static_cast<LONG>(std::max<LONGLONG>(LONGLONG(out.scale) - magnitude(y), -10000));
    }
}

// Periods of at most 332 ms take the Y axis's share too.
bool convertPeriodic(EffectSlot& out, const DIEFFECT& effect, bool xPresent)
{
    auto* periodic = static_cast<const DIPERIODIC*>(typeBlock(effect, sizeof(DIPERIODIC)));
    if (!periodic)
        return false;
    PeriodicParams& p = out.periodic;
    p.periodMs = static_cast<LONG>(msFromUs(periodic->dwPeriod));
    p.phase = static_cast<LONG>(periodic->dwPhase); // hundredths of a degree, as given
    if (p.periodMs < 333 && !(effect.cAxes <= 1 && xPresent))
        addYShare(out, effect);
    p.magnitude = scaled(static_cast<LONG>(periodic->dwMagnitude), out.scale);
    p.offset = scaled(periodic->lOffset, out.scale);
    return true;
}

bool convertCondition(EffectSlot& out, const DIEFFECT& effect, bool xPresent, DWORD xIndex)
{
    if (effect.cbTypeSpecificParams == sizeof(DICONDITION) && effect.cAxes >= 2) {
        auto* condition = static_cast<const DICONDITION*>(typeBlock(effect, sizeof(DICONDITION)));
        if (!condition)
            return false;
        ConditionParams& c = out.condition;
        c.saturation = scaled(static_cast<LONG>(condition->dwPositiveSaturation), out.scale);
        c.offset = scaled(condition->lOffset, out.scale);
        c.coefficient = scaled(condition->lPositiveCoefficient, out.scale);
        c.deadBand = condition->lDeadBand;
        return true;
    }
    if (!xPresent) {
        out.scale = 0;
        return true;
    }
    auto* conditions = static_cast<const DICONDITION*>(typeBlock(effect, (xIndex + 1) * sizeof(DICONDITION)));
    if (!conditions)
        return false;
    const DICONDITION& x = conditions[xIndex];
    ConditionParams& c = out.condition;
    c.saturation = static_cast<LONG>(x.dwPositiveSaturation);
    c.offset = x.lOffset;
    c.coefficient = x.lPositiveCoefficient;
    c.deadBand = x.lDeadBand;
    out.scale = c.saturation == 0
                    ? c.coefficient
                    : static_cast<LONG>(std::min(magnitude(c.saturation), magnitude(c.coefficient)));
    return true;
}

bool wellFormed(const DIEFFECT* effect)
{
    if (!effect || effect->dwSize < sizeof(DIEFFECT_DX5))
        return false;
    if (effect->cAxes > MAX_EFFECT_AXES)
        return false;
    return effect->cAxes == 0 || (effect->rgdwAxes && effect->rglDirection);
}

} // namespace

bool convertEffectParams(EffectSlot& slot, const DIEFFECT* effect)
{
    if (!wellFormed(effect))
        return false;
    const DIEFFECT& e = *effect;
    EffectSlot out = slot;
    out.reserved1 = 0;
    out.reserved2 = 0;
    out.scale = 0;
    out.durationMs = e.dwDuration == INFINITE ? INFINITE_DURATION_MS : msFromUs(e.dwDuration);

    // The X axis is named by its object id, or as offset 0; axes given as offsets count as no X axis
    // in the later tests.
    const DWORD xAxis = (e.dwFlags & DIEFF_OBJECTOFFSETS) ? 0 : X_AXIS_ID;
    bool xPresent = xAxis != 0;
    DWORD xIndex = 0;
    if (e.cAxes > 0) {
        if (!findAxis(e, xAxis, &xIndex))
            xPresent = false;
        else
            out.scale = e.cAxes == 1 ? 10000 : e.rglDirection[xIndex];
    }

    switch (slot.typeId & CATEGORY_MASK) {
    case CAT_CONSTANT: {
        auto* constant = static_cast<const DICONSTANTFORCE*>(typeBlock(e, sizeof(DICONSTANTFORCE)));
        if (!constant)
            return false;
        out.constant.magnitude = scaled(constant->lMagnitude, out.scale);
        break;
    }
    case CAT_RAMP: {
        auto* ramp = static_cast<const DIRAMPFORCE*>(typeBlock(e, sizeof(DIRAMPFORCE)));
        if (!ramp)
            return false;
        out.ramp.start = scaled(ramp->lStart, out.scale);
        out.ramp.end = scaled(ramp->lEnd, out.scale);
        break;
    }
    case CAT_PERIODIC:
        if (!convertPeriodic(out, e, xPresent))
            return false;
        break;
    case CAT_CONDITION:
        if (!convertCondition(out, e, xPresent, xIndex))
            return false;
        break;
    default:
        break;
    }
    slot = out;
    return true;
}
