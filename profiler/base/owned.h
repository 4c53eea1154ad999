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
    bool valid() const { return held != Traits::empty(); }

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

// Traits of a kind whose empty value is null: every other value is a handle that `Release` frees.
template <class H, auto Release>
struct NullHandleTraits {
    static H empty() { return nullptr; }
    static H adopt(H h) { return h; }
    static void release(H h) { Release(h); }
};

// A kernel object: process, file, device, snapshot. A failed CreateFileA or snapshot gives
// INVALID_HANDLE_VALUE, held as nothing.
struct KernelHandleTraits : NullHandleTraits<HANDLE, CloseHandle> {
    static HANDLE adopt(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }
};

using OwnedHandle = Owned<KernelHandleTraits>;
using OwnedRegistryKey = Owned<NullHandleTraits<HKEY, RegCloseKey>>;
using OwnedLibrary = Owned<NullHandleTraits<HMODULE, FreeLibrary>>;
