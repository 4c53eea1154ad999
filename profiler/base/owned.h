#pragma once
// One owner for every kind of platform handle: move-only, it releases what it holds when destroyed
// or reset. A traits type names the kind's empty value, how a fresh handle is taken (`adopt`) and
// how one is released.
#include <windows.h>

#include <utility>

template <class Traits>
class Owned {
public:
    using Handle = decltype(Traits::empty());

    Owned() = default;
    explicit Owned(Handle h) : held(Traits::adopt(h)) {}
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : held(other.release()) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return held; }
    explicit operator bool() const { return held != Traits::empty(); }

    // Releases what is held and takes h.
    void reset(Handle h = Traits::empty())
    {
        Handle old = std::exchange(held, Traits::adopt(h));
        if (old != Traits::empty())
            Traits::release(old);
    }
    // Gives up ownership without releasing.
    Handle release() { return std::exchange(held, Traits::empty()); }

private:
    Handle held = Traits::empty();
};

// Traits of the kinds whose empty value is null and that take every other value as it comes.
template <class H>
struct NullIsEmpty {
    static H empty() { return nullptr; }
    static H adopt(H h) { return h; }
};

// A kernel object: process, file, device, snapshot. A failed CreateFileA or snapshot gives
// INVALID_HANDLE_VALUE, held as nothing.
struct KernelHandleTraits : NullIsEmpty<HANDLE> {
    static HANDLE adopt(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }
    static void release(HANDLE h) { CloseHandle(h); }
};
struct RegistryKeyTraits : NullIsEmpty<HKEY> {
    static void release(HKEY h) { RegCloseKey(h); }
};
struct LibraryTraits : NullIsEmpty<HMODULE> {
    static void release(HMODULE h) { FreeLibrary(h); }
};

using OwnedHandle = Owned<KernelHandleTraits>;
using OwnedRegistryKey = Owned<RegistryKeyTraits>;
using OwnedLibrary = Owned<LibraryTraits>;
