#include "hosts/win32/TemporaryFile.h"

#include <windows.h>
// clang-format off
#include <aclapi.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "hosts/win32/ErrorTable.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// Leaves room for the dot and the suffix within the 255 characters a name may have.
constexpr std::size_t kNameStem = 200;
constexpr int kAttempts = 100;

// Unguessable enough to make collisions rare; a collision only costs another attempt.
std::string RandomSuffix() {
    static std::uint64_t calls = 0;
    constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    std::uint64_t mixed = static_cast<std::uint64_t>(counter.QuadPart) ^
                          (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 40) ^
                          (++calls * 0x9E3779B97F4A7C15ull);
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += kDigits[mixed % kDigits.size()];
        mixed /= kDigits.size();
    }
    return suffix;
}

// The access rules of `path` as a security descriptor for CreateFile; empty where they cannot be
// read (the file system keeps none): the new file then inherits the folder's, as before.
struct AccessRules {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};

    explicit AccessRules(const std::string& path) {
        PACL dacl = nullptr;
        if (!path.empty() && ::GetNamedSecurityInfoW(
                                 Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                 nullptr, nullptr, &dacl, nullptr, &descriptor) == ERROR_SUCCESS) {
            attributes.lpSecurityDescriptor = descriptor;
        }
    }
    AccessRules(const AccessRules&) = delete;
    AccessRules& operator=(const AccessRules&) = delete;
    ~AccessRules() { ::LocalFree(descriptor); }

    SECURITY_ATTRIBUTES* Get() { return descriptor != nullptr ? &attributes : nullptr; }
};

bool IsTaken(DWORD code) {
    return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& directory, const std::string& targetName,
                             const std::string& accessFrom, FaultPlan& faults) {
    AccessRules rules(accessFrom);
    std::string stem = directory;
    if (!stem.empty() && stem.back() != '\\' && stem.back() != '/' && stem.back() != ':') {
        stem += '\\';
    }
    // Cut between characters, so that the name's UTF-8 stays whole.
    std::size_t kept = std::min(targetName.size(), kNameStem);
    while (kept > 0 && kept < targetName.size() &&
           (static_cast<unsigned char>(targetName[kept]) & 0xC0) == 0x80) {
        --kept;
    }
    stem.append(".").append(targetName, 0, kept).append(".brelmont-");
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path = stem + RandomSuffix();
        if (const DWORD staged = faults.Strike(FaultPoint::Open)) {
            ThrowWin32Error(staged);
        }
        // An ordinary file, so that once in place it is found like any other.
        UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, rules.Get(), CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | kNoImpersonation, nullptr));
        if (file.Valid()) {
            path_ = path;
            file_ = std::move(file);
            return;
        }
        const DWORD code = ::GetLastError();
        if (!IsTaken(code)) {
            ThrowWin32Error(code);
        }
    }
    ThrowWin32Error(ERROR_FILE_EXISTS);
}

TemporaryFile::~TemporaryFile() {
    if (!placed_) {
        file_.Reset();
        // Made with a read-only file's rules, it may be read-only itself, which Windows will not
        // delete.
        const std::wstring path = Wide(path_);
        if (!::DeleteFileW(path.c_str()) &&
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) {
            ::DeleteFileW(path.c_str());
        }
    }
}

}  // namespace brelmont::win32
