#pragma once
// Small owners of the platform handles that tests open, in a namespace of their own: product code
// linked into a test has owners of the same names.
#include <windows.h>
#include <setupapi.h>

#include <utility>

namespace testlib {

// Traits: T empty() gives the "no handle" value, normal(T) maps other "none" values onto it, close(T)
// releases one.
template <typename Traits>
class Owned {
public:
    using T = decltype(Traits::empty());

    Owned() = default;
    explicit Owned(T value) : value_(Traits::normal(value)) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, Traits::empty())) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other) {
            reset();
            value_ = std::exchange(other.value_, Traits::empty());
        }
        return *this;
    }
    ~Owned() { reset(); }

    T get() const { return value_; }
    bool valid() const { return value_ != Traits::empty(); }
    void reset()
    {
        if (valid())
            Traits::close(value_);
        value_ = Traits::empty();
    }

private:
    T value_ = Traits::empty();
};

// A kernel object handle (process, file, device); INVALID_HANDLE_VALUE and null both mean none.
struct HandleTraits {
    static HANDLE empty() { return nullptr; }
    static HANDLE normal(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct DevInfoTraits {
    static HDEVINFO empty() { return INVALID_HANDLE_VALUE; }
    static HDEVINFO normal(HDEVINFO h) { return h; }
    static void close(HDEVINFO h) { SetupDiDestroyDeviceInfoList(h); }
};
struct LibraryTraits {
    static HMODULE empty() { return nullptr; }
    static HMODULE normal(HMODULE h) { return h; }
    static void close(HMODULE h) { FreeLibrary(h); }
};
struct KeyTraits {
    static HKEY empty() { return nullptr; }
    static HKEY normal(HKEY h) { return h; }
    static void close(HKEY h) { RegCloseKey(h); }
};
struct FindTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static HANDLE normal(HANDLE h) { return h; }
    static void close(HANDLE h) { FindClose(h); }
};
struct HookTraits {
    static HHOOK empty() { return nullptr; }
    static HHOOK normal(HHOOK h) { return h; }
    static void close(HHOOK h) { UnhookWindowsHookEx(h); }
};
struct ServiceTraits {
    static SC_HANDLE empty() { return nullptr; }
    static SC_HANDLE normal(SC_HANDLE h) { return h; }
    static void close(SC_HANDLE h) { CloseServiceHandle(h); }
};

using Handle = Owned<HandleTraits>;
using DevInfoList = Owned<DevInfoTraits>;
using Library = Owned<LibraryTraits>;
using Key = Owned<KeyTraits>;
using FileSearch = Owned<FindTraits>;
using Hook = Owned<HookTraits>;
using Service = Owned<ServiceTraits>;

} // namespace testlib
