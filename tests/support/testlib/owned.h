#pragma once
// Small owners of the platform handles that tests open, in a namespace of their own: product code
// linked into a test has owners of the same names.
#include <windows.h>
#include <setupapi.h>

#include <utility>

namespace testlib {

// Which values of a kind of handle mean "no handle".
enum class None { Null, Invalid, NullOrInvalid };

// Owns a T, released with Close; INVALID_HANDLE_VALUE is "none" where `none` says so (with
// NullOrInvalid it is stored as null).
template <typename T, auto Close, None none = None::Null>
class Owned {
public:
    Owned() = default;
    explicit Owned(T value)
        : value_(none == None::NullOrInvalid && value == T(INVALID_HANDLE_VALUE) ? empty() : value)
    {
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, empty())) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other) {
            reset();
            value_ = std::exchange(other.value_, empty());
        }
        return *this;
    }
    ~Owned() { reset(); }

    T get() const { return value_; }
    bool valid() const { return value_ != empty(); }
    void reset()
    {
        if (valid())
            Close(value_);
        value_ = empty();
    }

private:
    static T empty() { return none == None::Invalid ? T(INVALID_HANDLE_VALUE) : T(); }
    T value_ = empty();
};

// A kernel object handle (process, file, device).
using Handle = Owned<HANDLE, CloseHandle, None::NullOrInvalid>;
using DevInfoList = Owned<HDEVINFO, SetupDiDestroyDeviceInfoList, None::Invalid>;
using Library = Owned<HMODULE, FreeLibrary>;
using Key = Owned<HKEY, RegCloseKey>;
using FileSearch = Owned<HANDLE, FindClose, None::Invalid>;
using Hook = Owned<HHOOK, UnhookWindowsHookEx>;
using Service = Owned<SC_HANDLE, CloseServiceHandle>;

} // namespace testlib
