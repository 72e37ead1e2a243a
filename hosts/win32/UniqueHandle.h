#pragma once

#include <windows.h>

#include "support/UniqueResource.h"

namespace brelmont::win32 {

// Added to the flags of every CreateFileW: should a name lead to a named pipe, its server may
// learn who this run is but never act as it, which an elevated run's identity would be worth.
inline constexpr DWORD kNoImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

// Kernel objects of the host services.

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

struct EventSourceTraits {
    using Value = HANDLE;
    static Value Empty() noexcept { return nullptr; }
    static void Free(Value value) noexcept { ::DeregisterEventSource(value); }
};

using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueKernelHandle = UniqueResource<KernelHandleTraits>;
using UniqueFind = UniqueResource<FindHandleTraits>;
using UniqueEventSource = UniqueResource<EventSourceTraits>;

}  // namespace brelmont::win32
