#include "hosts/win32/TemporaryFile.h"

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "hosts/win32/ErrorTable.h"

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

bool IsTaken(DWORD code) {
    return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& directory, const std::string& targetName,
                             FaultPlan& faults) {
    std::string stem = directory;
    if (!stem.empty() && stem.back() != '\\' && stem.back() != '/' && stem.back() != ':') {
        stem += '\\';
    }
    stem.append(".").append(targetName, 0, kNameStem).append(".brelmont-");
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path = stem + RandomSuffix();
        if (const DWORD staged = faults.Strike(FaultPoint::Open)) {
            ThrowWin32Error(staged);
        }
        // An ordinary file, so that once in place it is found like any other.
        UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
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
        ::DeleteFileA(path_.c_str());
    }
}

}  // namespace brelmont::win32
