#include "hosts/win32/Elevation.h"

#include "hosts/win32/UniqueHandle.h"

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
