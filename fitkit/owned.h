#pragma once
// Owner of one platform handle: moved, never copied, and released when the owner goes. The traits
// name the handle type (Value), the empty value (empty()) and the release (release(value)); a
// traits object may carry what the release needs, such as the device layer.
#include <utility>

template <typename Traits>
class Owned {
public:
    using Value = typename Traits::Value;

    Owned() = default;
    explicit Owned(Value value, Traits traits = Traits()) : traits(traits), value(value) {}
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : traits(other.traits), value(other.release()) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other) {
            reset();
            traits = other.traits;
            value = other.release();
        }
        return *this;
    }

    Value get() const { return value; }
    bool valid() const { return value != Traits::empty(); }
    Value release() { return std::exchange(value, Traits::empty()); }
    // Releases what is held and takes `replacement` (released later by the same traits).
    void reset(Value replacement = Traits::empty())
    {
        if (valid())
            traits.release(value);
        value = replacement;
    }

private:
    Traits traits;
    Value value = Traits::empty();
};
