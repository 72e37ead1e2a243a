#include "hosts/win32/FinalPath.h"

#include <windows.h>
// clang-format off
#include <aclapi.h>
#include <sddl.h>
#include <winioctl.h>
// clang-format on

#include <cstring>
#include <string>
#include <string_view>

#include "hosts/common/ReparseChase.h"
#include "hosts/win32/Elevation.h"
#include "hosts/win32/ErrorTable.h"
#include "hosts/win32/GrownText.h"
#include "hosts/win32/UniqueHandle.h"
#include "hosts/win32/Wine.h"
#include "support/RuntimeError.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// The two redirects whose targets a walk can follow, as the file system stores them (the MinGW
// headers lack REPARSE_DATA_BUFFER). Offsets and lengths are in bytes, into `names`.
struct StoredRedirect {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
};
constexpr std::size_t kSymbolicLinkFlagsLength = sizeof(ULONG);

std::string OwnerOf(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t* text = nullptr;
    std::string sid;
    if (::ConvertSidToStringSidW(owner, &text)) {
        sid = Narrow(text);
        ::LocalFree(text);
    }
    ::LocalFree(descriptor);
    return sid;
}

// The target a symbolic link or junction stores; none for other kinds or when it cannot be read.
std::optional<std::string> TargetOf(HANDLE redirect) {
    std::string buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE, '\0');
    DWORD length = 0;
    if (!::DeviceIoControl(redirect, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &length, nullptr) ||
        length < sizeof(StoredRedirect)) {
        return std::nullopt;
    }
    StoredRedirect stored{};
    std::memcpy(&stored, buffer.data(), sizeof stored);
    std::size_t names = sizeof stored;
    if (stored.tag == IO_REPARSE_TAG_SYMLINK) {
        names += kSymbolicLinkFlagsLength;
    } else if (stored.tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return std::nullopt;
    }
    const std::size_t start = names + stored.substituteOffset;
    if (start + stored.substituteLength > length || stored.substituteLength % 2 != 0) {
        return std::nullopt;
    }
    std::wstring target(stored.substituteLength / 2, L'\0');
    std::memcpy(target.data(), buffer.data() + start, stored.substituteLength);
    return Narrow(target);
}

// What is at `path` itself, a reparse point not followed.
host::SeenObject LookAt(const std::string& path) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    constexpr DWORD kFlags =
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | kNoImpersonation;
    UniqueFile object(::CreateFileW(Wide(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                    kShareAll, nullptr, OPEN_EXISTING, kFlags, nullptr));
    if (!object.Valid() && ::GetLastError() == ERROR_ACCESS_DENIED) {
        // Without the right to read its owner: still seen, and refused if it redirects.
        object = UniqueFile(::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                          nullptr, OPEN_EXISTING, kFlags, nullptr));
    }
    if (!object.Valid()) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        ThrowWin32Error(code);
    }
    host::SeenObject seen{true, false, OwnerOf(object.Get()), std::nullopt};
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (::GetFileInformationByHandleEx(object.Get(), FileAttributeTagInfo, &kind, sizeof kind)) {
        seen.redirects = (kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                         IsReparseTagNameSurrogate(kind.ReparseTag);
    } else {
        // Where the kind cannot be had, any reparse point counts as leading elsewhere.
        BY_HANDLE_FILE_INFORMATION information{};
        if (!::GetFileInformationByHandle(object.Get(), &information)) {
            ThrowLastError();
        }
        seen.redirects = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    if (seen.redirects) {
        seen.target = TargetOf(object.Get());
    }
    return seen;
}

std::string FullPathOf(const std::string& path) {
    const std::wstring wide = Wide(path);
    const std::wstring full = GrownText([&wide](wchar_t* text, DWORD size) {
        return ::GetFullPathNameW(wide.c_str(), size, text, nullptr);
    });
    return full.empty() ? path : Narrow(full);
}

// GetFinalPathNameByHandle answers in the long-path forms; the walk's answer is in the plain ones.
std::wstring WithoutLongPathPrefix(std::wstring path) {
    constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kLocal = L"\\\\?\\";
    if (path.starts_with(kUnc)) {
        return L"\\\\" + path.substr(kUnc.size());
    }
    if (path.starts_with(kLocal) && path.size() > kLocal.size() + 1 &&
        path[kLocal.size() + 1] == L':') {
        return path.substr(kLocal.size());
    }
    return path;
}

}  // namespace

std::string FinalPathOf(const std::string& path, bool strict) {
    const host::ReparseTrust trust{strict,
                                   {ProcessTokenSid(TokenUser), ProcessTokenSid(TokenOwner)}};
    return host::ChaseReparsePoints(FullPathOf(path), LookAt, trust);
}

void RequireOpenedAs(HANDLE file, const std::string& meant, OpenedNameCheck check) {
    static const bool linksAreSeen = !RunsUnderWine();
    if (check == OpenedNameCheck::WhereLinksAreSeen && !linksAreSeen) {
        return;
    }
    const std::wstring wideMeant = Wide(meant);
    const DWORD form =
        wideMeant.starts_with(L"\\\\?\\Volume{") ? VOLUME_NAME_GUID : VOLUME_NAME_DOS;
    const std::wstring opened = GrownText([&](wchar_t* text, DWORD size) {
        return ::GetFinalPathNameByHandleW(file, text, size, FILE_NAME_NORMALIZED | form);
    });
    if (opened.empty()) {
        return;  // Some file systems cannot name an open file: nothing to hold the name against.
    }
    std::wstring expected = GrownText([&](wchar_t* text, DWORD size) {
        return ::GetLongPathNameW(wideMeant.c_str(), text, size);
    });
    if (expected.empty()) {
        expected = wideMeant;
    }
    const std::wstring found = form == VOLUME_NAME_GUID ? opened : WithoutLongPathPrefix(opened);
    if (::CompareStringOrdinal(found.c_str(), static_cast<int>(found.size()), expected.c_str(),
                               static_cast<int>(expected.size()), TRUE) != CSTR_EQUAL) {
        throw RuntimeError(ErrorNumber::PermissionDenied, "Brelmont",
                           "Permission denied: " + meant + " was opened as " + Narrow(found));
    }
}

}  // namespace brelmont::win32
