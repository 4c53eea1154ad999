#pragma once
// Services of the test prefix.
#include <windows.h>

// Starts the named service and waits until it runs (a freshly made prefix may still lock its
// service database: the start is retried); whether it runs within timeoutMs.
bool startService(const char* name, unsigned timeoutMs = 30000);
