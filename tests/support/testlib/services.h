#pragma once
// Services of the test prefix.
#include <windows.h>

#include <string>

// Starts the named service and waits until it runs (a freshly made prefix may still lock its
// service database: the start is retried); whether it runs within timeoutMs.
bool startService(const char* name, unsigned timeoutMs = 30000);

// Whether this is a 32-bit program on 64-bit Windows.
bool runsUnderWow64();
// The system's own System32 folder as this program reaches it (sysnative from a 32-bit program on
// 64-bit Windows, where system32 is SysWOW64).
std::string nativeSystemFolder();
// Where the task scheduler keeps the task of that name.
std::string taskFilePath(const std::string& taskName);

// Creates a demand-start kernel-driver service for the driver file at binaryPath; 0 or a Windows
// error code. A service that a 32-bit program creates on 64-bit Windows is recorded as a WOW64 one,
// which the system cannot load a 64-bit driver for: there the native sc.exe creates it.
DWORD createKernelDriverService(const char* name, const std::string& binaryPath);
