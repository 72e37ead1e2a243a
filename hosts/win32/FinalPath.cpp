#include "hosts/win32/FinalPath.h"

#include <windows.h>
// clang-format off
#include <aclapi.h>
// clang-format on

#include <string>
#include <string_view>

#include "hosts/win32/Elevation.h"
#include "hosts/win32/PathParts.h"
#include "hosts/win32/UniqueHandle.h"
#include "support/RuntimeError.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// GetFinalPathNameByHandle answers in the long-path forms; the program's texts use the plain
// ones, which every file function accepts as long as the path is short enough.
std::wstring WithoutLongPathPrefix(std::wstring path) {
    constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kLocal = L"\\\\?\\";
    if (path.size() >= MAX_PATH) {
        return path;
    }
    if (path.starts_with(kUnc)) {
        return L"\\\\" + path.substr(kUnc.size());
    }
    if (path.starts_with(kLocal)) {
        return path.substr(kLocal.size());
    }
    return path;
}

// The owner of an open object; owned by the returned descriptor (LocalFree).
PSID OwnerOf(HANDLE object, PSECURITY_DESCRIPTOR& descriptor) {
    PSID owner = nullptr;
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return nullptr;
    }
    return owner;
}

// True when the process's user, or the owner its new objects get (the Administrators group for
// an elevated run), is `owner`.
bool IsThisUser(PSID owner) {
    for (const TOKEN_INFORMATION_CLASS kind : {TokenUser, TokenOwner}) {
        const std::string information = ProcessTokenInformation(kind);
        // TOKEN_USER and TOKEN_OWNER both begin with the SID's address.
        if (!information.empty() &&
            ::EqualSid(*reinterpret_cast<const PSID*>(information.data()), owner)) {
            return true;
        }
    }
    return false;
}

// Refuses a reparse point at `path` that neither its folder's owner nor this user owns.
void RequireTrustedReparsePoint(const std::string& path) {
    const UniqueFile point(::CreateFileW(
        Wide(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | kNoImpersonation, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!point.Valid() || !::GetFileInformationByHandle(point.Get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return;
    }
    const UniqueFile folder(::CreateFileW(Wide(SplitPath(path).directory).c_str(), READ_CONTROL,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | kNoImpersonation, nullptr));
    PSECURITY_DESCRIPTOR pointRules = nullptr;
    PSECURITY_DESCRIPTOR folderRules = nullptr;
    const PSID pointOwner = OwnerOf(point.Get(), pointRules);
    const PSID folderOwner = folder.Valid() ? OwnerOf(folder.Get(), folderRules) : nullptr;
    const bool trusted =
        pointOwner != nullptr &&
        ((folderOwner != nullptr && ::EqualSid(pointOwner, folderOwner)) || IsThisUser(pointOwner));
    ::LocalFree(pointRules);
    ::LocalFree(folderRules);
    if (!trusted) {
        throw RuntimeError(ErrorNumber::PermissionDenied, "Brelmont",
                           "Permission denied: " + path +
                               " is a link that neither its folder's owner nor this user owns");
    }
}

}  // namespace

std::string FinalPathOf(const std::string& path) {
    RequireTrustedReparsePoint(path);
    // No access asked for: only the name is wanted, and an open that others share fully cannot
    // get in anybody's way.
    const UniqueFile file(::CreateFileW(
        Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | kNoImpersonation, nullptr));
    if (!file.Valid()) {
        return path;
    }
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            file.Get(), final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
        if (length == 0) {
            return path;
        }
        if (length < final.size()) {
            final.resize(length);
            return Narrow(WithoutLongPathPrefix(final));
        }
        final.resize(length + 1);
    }
}

}  // namespace brelmont::win32
