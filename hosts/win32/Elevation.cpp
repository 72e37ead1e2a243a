#include "hosts/win32/Elevation.h"

#include <windows.h>

#include <string>

#include "hosts/win32/UniqueHandle.h"

namespace brelmont::win32 {

bool ProcessIsElevated() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    const UniqueKernelHandle held(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
        elevation.TokenIsElevated != 0) {
        return true;
    }
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string user(size, '\0');
    if (size == 0 || !::GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
        return false;
    }
    return ::IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid,
                            WinLocalSystemSid) != FALSE;
}

}  // namespace brelmont::win32
