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

void scaleAAndB(EffectSlot& out)
{
    out.paramA = scaled(out.paramA, out.scale);
    out.paramB = scaled(out.paramB, out.scale);
}

// Periods of at most 332 ms take the Y axis's share too.
bool convertPeriodic(EffectSlot& out, const DIEFFECT& effect, bool xPresent)
{
    auto* periodic = static_cast<const DIPERIODIC*>(typeBlock(effect, sizeof(DIPERIODIC)));
    if (!periodic)
        return false;
    out.paramA = static_cast<LONG>(periodic->dwMagnitude);
    out.paramB = periodic->lOffset;
    out.paramC = static_cast<LONG>(msFromUs(periodic->dwPeriod));
    out.paramD = static_cast<LONG>(periodic->dwPhase);
    if (out.paramC < 333 && !(effect.cAxes <= 1 && xPresent))
        addYShare(out, effect);
    scaleAAndB(out);
    return true;
}

bool convertCondition(EffectSlot& out, const DIEFFECT& effect, bool xPresent, DWORD xIndex)
{
    if (effect.cbTypeSpecificParams == sizeof(DICONDITION) && effect.cAxes >= 2) {
        auto* condition = static_cast<const DICONDITION*>(typeBlock(effect, sizeof(DICONDITION)));
        if (!condition)
            return false;
        out.paramA = scaled(static_cast<LONG>(condition->dwPositiveSaturation), out.scale);
        out.paramB = scaled(condition->lOffset, out.scale);
        out.paramC = scaled(condition->lPositiveCoefficient, out.scale);
        out.paramD = condition->lDeadBand;
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
    out.paramA = static_cast<LONG>(x.dwPositiveSaturation);
    out.paramB = x.lOffset;
    out.paramC = x.lPositiveCoefficient;
    out.paramD = x.lDeadBand;
    out.scale = out.paramA == 0 ? out.paramC
                                : static_cast<LONG>(std::min(magnitude(out.paramA), magnitude(out.paramC)));
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
        out.paramA = scaled(constant->lMagnitude, out.scale);
        break;
    }
    case CAT_RAMP: {
        auto* ramp = static_cast<const DIRAMPFORCE*>(typeBlock(e, sizeof(DIRAMPFORCE)));
        if (!ramp)
            return false;
        out.paramA = ramp->lStart;
        out.paramB = ramp->lEnd;
        scaleAAndB(out);
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
