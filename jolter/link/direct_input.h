#pragma once
// The DirectInput declarations every part of the driver uses: the effect driver interface, its
// structures and constants come from the platform headers, never from copies of our own.
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
