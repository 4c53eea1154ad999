#pragma once
// The module's count of live factories, live driver objects and server locks.
#include <windows.h>

void moduleAddRef();
void moduleRelease();
LONG moduleCount();
