#pragma once

#include <utility>

namespace brelmont {

// Owns one object of the system (a handle, a window, a font) and lets it go on every way out of a
// scope. `Traits` says what the empty value is and how the object is let go. The implementations
// of the interfaces use it; the core itself holds no such object.
template <typename Traits>
class UniqueResource {
  public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) noexcept : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { Reset(); }

    Value Get() const noexcept { return value_; }
    bool Valid() const noexcept { return value_ != Traits::Empty(); }
    // Gives up ownership to whoever takes the object over.
    Value Release() noexcept { return std::exchange(value_, Traits::Empty()); }
    void Reset(Value value = Traits::Empty()) noexcept {
        const Value old = std::exchange(value_, value);
        if (old != Traits::Empty()) {
            Traits::Free(old);
        }
    }

  private:
    Value value_ = Traits::Empty();
};

}  // namespace brelmont
