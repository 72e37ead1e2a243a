#include "hosts/win32/Elevation.h"

#include <windows.h>
// clang-format off
#include <sddl.h>
// clang-format on

#include "hosts/win32/UniqueHandle.h"
#include "win32/WideText.h"

namespace brelmont::win32 {

std::string ProcessTokenInformation(TOKEN_INFORMATION_CLASS kind) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    const UniqueKernelHandle held(token);
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    std::string buffer(size, '\0');
    if (size == 0 || !::GetTokenInformation(token, kind, buffer.data(), size, &size)) {
        return {};
    }
    return buffer;
}

std::string ProcessTokenSid(TOKEN_INFORMATION_CLASS kind) {
    const std::string information = ProcessTokenInformation(kind);
    wchar_t* text = nullptr;
    // TOKEN_USER and TOKEN_OWNER both begin with the SID's address.
    if (information.empty() ||
        !::ConvertSidToStringSidW(*reinterpret_cast<const PSID*>(information.data()), &text)) {
        return {};
    }
    std::string sid = Narrow(text);
    ::LocalFree(text);
    return sid;
}

bool ProcessIsElevated() {
    const std::string elevation = ProcessTokenInformation(TokenElevation);
    if (elevation.size() >= sizeof(TOKEN_ELEVATION) &&
        reinterpret_cast<const TOKEN_ELEVATION*>(elevation.data())->TokenIsElevated != 0) {
        return true;
    }
    const std::string user = ProcessTokenInformation(TokenUser);
    return !user.empty() &&
           ::IsWellKnownSid(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid,
                            WinLocalSystemSid) != FALSE;
}

}  // namespace brelmont::win32
