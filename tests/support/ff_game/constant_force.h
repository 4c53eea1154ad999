// The constant force that the end-to-end tests play: 8000 on the pad's X axis for 2 s, as a game
// hands it to DirectInput.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

struct ConstantForceEffect {
    DWORD axes[1] = {0x01000002}; // the X axis actuator's object id
    LONG directions[1] = {0};
    DICONSTANTFORCE force = {8000};
    // Size, flags, duration (us), sample period, gain, trigger button, trigger interval, axes, their
    // ids and directions, envelope, type-specific parameters, start delay.
    DIEFFECT effect = {sizeof(DIEFFECT), DIEFF_CARTESIAN, 2000000, 0, 0, 0, 0, 1, axes, directions, nullptr,
                       sizeof(force), &force, 0};

    ConstantForceEffect() = default;
    ConstantForceEffect(const ConstantForceEffect&) = delete; // the effect points into this object
    ConstantForceEffect& operator=(const ConstantForceEffect&) = delete;
};
