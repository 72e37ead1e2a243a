#pragma once

#include <windows.h>

#include <utility>

namespace brelmont::win32 {

// Owns one Windows object and lets it go on every way out of a scope. `Traits` says what the
// empty value is and how the object is let go.
template <typename Traits>
class Unique {
  public:
    using Value = typename Traits::Value;

    Unique() = default;
    explicit Unique(Value value) noexcept : value_(value) {}
    Unique(Unique&& other) noexcept : value_(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

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

// CreateFile's handles: INVALID_HANDLE_VALUE when empty.
struct FileHandleTraits {
    using Value = HANDLE;
    static Value Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Free(Value value) noexcept { ::CloseHandle(value); }
};

// Mutexes and other kernel objects: null when empty.
struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value value) noexcept { ::CloseHandle(value); }
};

struct FindHandleTraits {
    using Value = HANDLE;
    static Value Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void Free(Value value) noexcept { ::FindClose(value); }
};

struct FontTraits {
    using Value = HFONT;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value value) noexcept { ::DeleteObject(value); }
};

struct WindowTraits {
    using Value = HWND;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value value) noexcept { ::DestroyWindow(value); }
};

struct EventSourceTraits {
    using Value = HANDLE;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value value) noexcept { ::DeregisterEventSource(value); }
};

using UniqueFile = Unique<FileHandleTraits>;
using UniqueKernelHandle = Unique<KernelHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueFont = Unique<FontTraits>;
using UniqueWindow = Unique<WindowTraits>;
using UniqueEventSource = Unique<EventSourceTraits>;

}  // namespace brelmont::win32
