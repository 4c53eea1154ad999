#pragma once
// Turning DirectInput's DIEFFECT into the parameters the pad's effect report carries.
#include "engine/effect_slot.h"
#include "link/direct_input.h"

// Force-feedback actuator axes of the pad as DirectInput object ids.
constexpr DWORD X_AXIS_ID = 0x01000002;
constexpr DWORD Y_AXIS_ID = 0x01000102;

// Category bits of an effect type id.
constexpr DWORD CATEGORY_MASK = 0xE0;
constexpr DWORD CAT_CONSTANT = 0x20;
constexpr DWORD CAT_RAMP = 0x40;
constexpr DWORD CAT_PERIODIC = 0x60;
constexpr DWORD CAT_CONDITION = 0x80;

// More axes than any force-feedback device has: such a DIEFFECT is refused.
constexpr DWORD MAX_EFFECT_AXES = 32;

// Fills durationMs, scale, paramA..paramD and the reserved fields of `slot` from `effect`, by the
// category of slot.typeId. Returns false, and leaves the slot untouched, when the structure is
// null, shorter than DirectInput's smallest DIEFFECT, names an absurd number of axes, lacks the axis
// or direction array, or lacks the type-specific block the category needs.
bool convertEffectParams(EffectSlot& slot, const DIEFFECT* effect);
