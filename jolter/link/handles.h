#pragma once
// Move-only owners of the platform handles the driver opens; each releases its handle when
// destroyed.
#include <windows.h>
#include <setupapi.h>

#include <utility>

// Traits: empty() is the "no handle" value, normal(h) maps the platform's other "no handle" values
// to it, close(h) releases a handle.
template <typename Traits>
class Owned {
public:
    using Value = decltype(Traits::empty());

    Owned() = default;
    explicit Owned(Value value) : value_(Traits::normal(value)) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : value_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~Owned() { reset(); }

    Value get() const { return value_; }
    bool valid() const { return value_ != Traits::empty(); }
    void reset(Value value = Traits::empty())
    {
        if (valid())
            Traits::close(value_);
        value_ = Traits::normal(value);
    }
    Value release() { return std::exchange(value_, Traits::empty()); }

private:
    Value value_ = Traits::empty();
};

// A kernel object handle (file, device, pipe); INVALID_HANDLE_VALUE and null both mean none.
struct HandleTraits {
    static HANDLE empty() { return nullptr; }
    static HANDLE normal(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }
    static void close(HANDLE h) { CloseHandle(h); }
};

struct DeviceInfoTraits {
    static HDEVINFO empty() { return INVALID_HANDLE_VALUE; }
    static HDEVINFO normal(HDEVINFO h) { return h ? h : INVALID_HANDLE_VALUE; }
    static void close(HDEVINFO h) { SetupDiDestroyDeviceInfoList(h); }
};

struct RegistryKeyTraits {
    static HKEY empty() { return nullptr; }
    static HKEY normal(HKEY h) { return h; }
    static void close(HKEY h) { RegCloseKey(h); }
};

using UniqueHandle = Owned<HandleTraits>;
using DeviceInfoList = Owned<DeviceInfoTraits>;
using RegistryKey = Owned<RegistryKeyTraits>;
