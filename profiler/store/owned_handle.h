#pragma once
#include <windows.h>

// Owns one kernel object handle (file, device, process, snapshot) and closes it when destroyed.
// Holds nothing when empty; INVALID_HANDLE_VALUE counts as empty.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE h) : handle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    void reset(HANDLE h = nullptr)
    {
        if (handle)
            CloseHandle(handle);
        handle = h == INVALID_HANDLE_VALUE ? nullptr : h;
    }
    HANDLE release()
    {
        HANDLE h = handle;
        handle = nullptr;
        return h;
    }
    HANDLE get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

    HANDLE handle = nullptr;
};
