#pragma once
// Polling for what another thread or process brings about.
#include <functional>

// Checks condition every stepMs until it holds or timeoutMs have passed; whether it held.
bool waitUntil(const std::function<bool()>& condition, unsigned timeoutMs, unsigned stepMs = 20);
