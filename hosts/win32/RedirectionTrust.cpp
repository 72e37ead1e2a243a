#include "hosts/win32/RedirectionTrust.h"

#include <windows.h>

namespace brelmont::win32 {
namespace {

// From the Windows SDK (Windows 10 2004 and later); the MinGW-w64 headers lack them.
constexpr int kProcessRedirectionTrustPolicy = 16;
struct RedirectionTrustPolicy {
    DWORD flags;  // bit 0: enforce
};
using SetPolicy = BOOL(WINAPI*)(int policy, PVOID buffer, SIZE_T length);

}  // namespace

void EnforceRedirectionTrust() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return;
    }
    // Looked up at run time: Windows 7 has no SetProcessMitigationPolicy at all.
    const auto set = reinterpret_cast<SetPolicy>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetProcessMitigationPolicy")));
    if (set == nullptr) {
        return;
    }
    RedirectionTrustPolicy policy{1};
    // Refused where the system does not know the policy: the program's own rule still holds.
    set(kProcessRedirectionTrustPolicy, &policy, sizeof policy);
}

}  // namespace brelmont::win32
