#pragma once
// Owner of one open INF file.
#include <windows.h>
#include <setupapi.h>

class InfHandle {
public:
    InfHandle() = default;
    ~InfHandle() { reset(); }
    InfHandle(const InfHandle&) = delete;
    InfHandle& operator=(const InfHandle&) = delete;

    HINF get() const { return handle; }
    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }
    void reset(HINF h = INVALID_HANDLE_VALUE)
    {
        if (isOpen())
            SetupCloseInfFile(handle);
        handle = h;
    }

private:
    HINF handle = INVALID_HANDLE_VALUE;
};
